#include "app/FileHelpers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

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
    void bytesComeBackUnchanged()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("all-bytes.tqp"));
        QByteArray every;
        for (int b = 0; b < 256; ++b)
            every.append(char(b));
        const QString text = QString::fromLatin1(every);

        QVERIFY(WriteWholeFile(path, text));
        QCOMPARE(bytesOf(path), every); // nothing added, no BOM, no newline
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

    void readOnlyFilesAreReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.tqp"));
        QVERIFY(WriteWholeFile(path, QStringLiteral("old")));
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        QVERIFY(WriteWholeFile(path, QStringLiteral("new")));
        QCOMPARE(bytesOf(path), QByteArray("new"));
    }

    void failedWriteKeepsThePreviousFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("show.tqp"));
        const QByteArray old = "mov 0,10\r\nmov 1,20\r\n";
        QVERIFY(WriteWholeFile(path, QString::fromLatin1(old)));

        const QString bigger = QString(64 * 1024, QLatin1Char('x'));
        {
            FileSizeLimit limit(4096);
            QVERIFY(!WriteWholeFile(path, bigger));
        }
        QCOMPARE(bytesOf(path), old);
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith(QStringLiteral("Routine Code: 0141\r\nError Numer: 61\r\n")),
                 qPrintable(reports[0]));
        // No temporary file is left beside it.
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
