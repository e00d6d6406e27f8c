#include "app/FileHelpers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QScopeGuard>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Limits the size of any file this process writes, for the scope's life.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int);
};

} // namespace

class TestFileHelpers : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void textIsWrittenAsUtf8()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all-chars.tqp"));
        QString text;
        for (int c = 1; c < 256; ++c)
            text += QChar(c);
        text += QStringLiteral("\u015d\u20ac");
        QVERIFY(WriteWholeFile(path, text));
        QCOMPARE(bytesOf(path), text.toUtf8()); // nothing added, no BOM, no newline, no '?'
        QCOMPARE(ReadWholeFile(path), text);
    }

    void emptyTextLeavesAnEmptyFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tq0001.tmp"));
        QVERIFY(WriteWholeFile(path, QStringLiteral("mov 3,127\r\n")));
        QVERIFY(WriteWholeFile(path, QString()));
        QVERIFY(QFile::exists(path));
        QCOMPARE(QFileInfo(path).size(), qint64(0));
        QCOMPARE(ReadWholeFile(path), QString());
    }

    void readOnlyFilesAreKept()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.tqp"));
        QVERIFY(WriteWholeFile(path, QStringLiteral("old")));
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QVERIFY(!WriteWholeFile(path, QStringLiteral("new")));
        QCOMPARE(bytesOf(path), QByteArray("old"));
        QVERIFY(TestMessages().takeTexts().value(0).startsWith(
            QStringLiteral("Routine Code: 0141\r\nError Numer: 75\r\n")));
    }

    void failedWriteKeepsThePreviousFile_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("over the size limit") << 64 * 1024 << false;
        QTest::newRow("over the size limit, within Qt's buffer") << 8 * 1024 << false;
        QTest::newRow("full disk, within Qt's buffer") << 8 * 1024 << true;
    }
    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(int, size);
        QFETCH(bool, fullDisk);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("show.tqp"));
        if (fullDisk && (geteuid() != 0 || mount("tmpfs", qPrintable(dir.path()), "tmpfs", 0, "size=64k") != 0))
            QSKIP("mounting a small file system needs root");
        const auto unmount = qScopeGuard([&] {
            if (fullDisk)
                umount2(qPrintable(dir.path()), MNT_DETACH);
        });
        const QByteArray old = "mov 0,10\r\nmov 1,20\r\n";
        QVERIFY(WriteWholeFile(path, QString::fromLatin1(old)));
        QFile filler(dir.filePath(QStringLiteral("filler")));
        QVERIFY(!fullDisk || filler.open(QIODevice::WriteOnly));
        while (filler.isOpen() && filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
        }
        {
            FileSizeLimit limit(fullDisk ? RLIM_INFINITY : 4096);
            QVERIFY(!WriteWholeFile(path, QString(size, QLatin1Char('x'))));
        }
        QCOMPARE(bytesOf(path), old);
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith(QStringLiteral("Routine Code: 0141\r\nError Numer: 61\r\n")),
                 qPrintable(reports[0]));
        // No temporary file is left beside it.
        QFile::remove(filler.fileName());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("show.tqp")});
    }

    void failuresAreReported()
    {
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath(QStringLiteral("plain"));
        QVERIFY(WriteWholeFile(notAFolder, QStringLiteral("x")));
        QVERIFY(!WriteWholeFile(notAFolder + QStringLiteral("/inside.tqp"), QStringLiteral("y")));
        QCOMPARE(ReadWholeFile(dir.filePath(QStringLiteral("gone.tqp"))), QString());
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].startsWith(QStringLiteral("Routine Code: 0141\r\nError Numer: 75\r\n")));
        QCOMPARE(reports[1],
                 QStringLiteral("Routine Code: 0140\r\nError Numer: 53\r\nError Description: File not found"));
    }

    void onlyRegularFilesAreUsed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("read a device") << "/dev/zero";
        QTest::newRow("read a FIFO") << "fifo";
        QTest::newRow("replace a link to a FIFO") << "link";
    }
    void onlyRegularFilesAreUsed()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(mkfifo(qPrintable(fifo), 0600), 0);
        const QString path = name.startsWith(QLatin1Char('/')) ? name : dir.filePath(name);
        const bool write = name == QLatin1String("link");
        QVERIFY(!write || QFile::link(fifo, path));
        QVERIFY(write ? !WriteWholeFile(path, QStringLiteral("x")) : ReadWholeFile(path).isEmpty());
        QVERIFY(!write || QFileInfo(path).symLinkTarget() == fifo);
        QVERIFY(TestMessages().takeTexts().value(0).endsWith(
            QStringLiteral("Error Numer: 75\r\nError Description: Path/File access error (") + path +
            QStringLiteral(": not a regular file)")));
    }

    void fileExistsOnDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("here.tqp"));
        QVERIFY(!FileExistsOnDisk(path));
        QVERIFY(!FileExistsOnDisk(QString()));
        QVERIFY(!FileExistsOnDisk(dir.path())); // a folder is not a file
        QVERIFY(WriteWholeFile(path, QString()));
        QVERIFY(FileExistsOnDisk(path));
        // Never reports, whatever happens.
        QCOMPARE(TestMessages().count(), 0);
    }
};

TQ_TEST_MAIN(TestFileHelpers)
#include "tst_FileHelpers.moc"
