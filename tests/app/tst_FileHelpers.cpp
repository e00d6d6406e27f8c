#include "app/FileHelpers.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <QThread>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Kills of a saving writer per kind, spread over a few saves' time.
constexpr int kKillTrials = 20;
constexpr int kKillSpanUs = 20000;

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

// With `full`, a small file system mounted on `dir` (root only), which Fill() fills with `filler`.
struct FullDisk
{
    FullDisk(bool full, const QString &dir, const char *size)
        : mounted(full && geteuid() == 0 && mount("tmpfs", qPrintable(dir), "tmpfs", 0, size) == 0)
        , path(dir)
        , filler(dir + QStringLiteral("/filler"))
    {
    }
    void Fill()
    {
        if (mounted && filler.open(QIODevice::WriteOnly))
            while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
            }
    }
    ~FullDisk()
    {
        if (mounted)
            umount2(qPrintable(path), MNT_DETACH);
    }
    const bool mounted;
    const QString path;
    QFile filler;
};

} // namespace

class TestFileHelpers : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void textIsWrittenAsUtf8()
    {
        QString all; // all Latin-1 and beyond; and an empty text leaves an empty file
        for (int c = 1; c < 256; ++c)
            all += QChar(c);
        for (const QString &text : {all + QStringLiteral("\u015d\u20ac"), QString()}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("tq0001.tmp"));
            QVERIFY(WriteWholeFile(path, QStringLiteral("mov 3,127\r\n")));
            QVERIFY(WriteWholeFile(path, text));
            QCOMPARE(bytesOf(path), text.toUtf8()); // nothing added, no BOM, no newline, no '?'
            QCOMPARE(ReadWholeFile(path), text);
        }
    }

    void failedWriteKeepsThePreviousFile_data() { AddTestDataRows(QStringLiteral("app/failed-writes.txt")); }
    void failedWriteKeepsThePreviousFile()
    {
        QFETCH(QStringList, row);
        const int size = row[1].toInt();
        const bool fullDisk = row[2] == QLatin1String("yes");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("show.tqp"));
        FullDisk disk(fullDisk, dir.path(), "size=64k");
        if (fullDisk && !disk.mounted)
            QSKIP("mounting a small file system needs root");
        const QByteArray old = "mov 0,10\r\nmov 1,20\r\n";
        QVERIFY(WriteWholeFile(path, QString::fromLatin1(old)));
        disk.Fill();
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
        QFile::remove(disk.filler.fileName());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("show.tqp")});
    }

    // Each row's writer run in a child (one helper for all): killed at moments
    // spread over a few saves' time while it saves two contents in turn, or
    // given a full disk. Either way the file is one content whole and nothing
    // else is left.
    void faultsLeaveAWholeFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("fullDisk");
        for (const char *kind : {"program", "script", "configuration", "settings"}) {
            QTest::addRow("%s, killed %d times", kind, kKillTrials) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s, full disk", kind) << QString::fromLatin1(kind) << true;
        }
    }
    void faultsLeaveAWholeFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, fullDisk);
        QTemporaryDir dir;
        FullDisk disk(fullDisk, dir.path(), "size=1m");
        if (fullDisk && !disk.mounted)
            QSKIP("mounting a small file system needs root");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (fullDisk)
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        const QString path = kind == QLatin1String("settings") ? env.value(QStringLiteral("XDG_CONFIG_HOME")) +
                                                                     QStringLiteral("/Taveloq/Taveloq.conf")
                                                               : dir.filePath(QStringLiteral("saved"));
        const auto save = [&](QProcess &p, const QStringList &once) {
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(TAVELOQ_FAULT_SAVER), QStringList{kind, path} + once);
            return p.waitForStarted();
        };
        QByteArray whole[2];
        for (int n : {1, 0}) {
            QProcess once;
            QVERIFY(save(once, {QString::number(n)}) && once.waitForFinished(30000));
            QCOMPARE(once.exitCode(), 0);
            whole[n] = bytesOf(path);
        }
        const QDir folder = QFileInfo(path).dir();
        const QString stray =
            kind == QLatin1String("settings") ? QStringLiteral("Taveloq.conf.a1B2c3") : QStringLiteral(".saved.saving");
        const QStringList files = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
        disk.Fill();
        // Each kill falls at random within its own slice of the span; a fixed
        // seed gives the same moments when the test is run again.
        QRandomGenerator random(1);
        for (int trial = 0; trial < (fullDisk ? 1 : kKillTrials); ++trial) {
            QProcess p;
            QVERIFY(save(p, fullDisk ? QStringList{QStringLiteral("1")} : QStringList{}));
            if (fullDisk) {
                QVERIFY(p.waitForFinished(30000));
                QCOMPARE(p.exitCode(), 1);
            } else {
                QVERIFY(p.waitForReadyRead(30000));
                QThread::usleep(ulong((trial + random.generateDouble()) * kKillSpanUs / kKillTrials));
                p.kill();
                QVERIFY(p.waitForFinished(5000));
            }
            const QByteArray now = bytesOf(path);
            QVERIFY2(now == whole[0] || now == whole[1],
                     qPrintable(QStringLiteral("trial %1: %2 bytes").arg(trial).arg(now.size())));
            disk.filler.close(); // an open file keeps its blocks
            QFile::remove(disk.filler.fileName());
            // What a kill may leave, taken over by the next save: the new
            // copy's name before its rename, and the settings' own copy and lock file.
            QStringList left = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
            left.removeIf(
                [&](const QString &name) { return name == stray || name.startsWith(QStringLiteral("Taveloq.conf.")); });
            QCOMPARE(left.join(" "), files.join(" "));
        }
        // Left by a kill for sure; an empty lock file by one while it was being made.
        QVERIFY(WriteWholeFile(folder.filePath(stray), QStringLiteral("left by a kill")));
        QVERIFY(kind != QLatin1String("settings") || WriteWholeFile(path + QStringLiteral(".lock"), QString()));
        QProcess next;
        QVERIFY(save(next, {QStringLiteral("1")}) && next.waitForFinished(10000));
        QCOMPARE(bytesOf(path), whole[1]);
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden | QDir::System), files);
    }

    void failuresAreReported_data() { AddTestDataRows(QStringLiteral("app/failures.txt")); }
    void failuresAreReported()
    {
        QFETCH(QStringList, row);
        const QString &name = row[1], &start = row[3], &end = row[4];
        QTemporaryDir dir;
        const QString plain = dir.filePath(QStringLiteral("plain"));
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QVERIFY(WriteWholeFile(plain, QStringLiteral("old")));
        QFile::setPermissions(plain, QFileDevice::ReadOwner);
        QCOMPARE(mkfifo(qPrintable(fifo), 0600), 0);
        QVERIFY(QFile::link(fifo, dir.filePath(QStringLiteral("link"))));
        const QString path = name.startsWith(QLatin1Char('/')) ? name : dir.filePath(name);
        QVERIFY(row[2] == QLatin1String("write") ? !WriteWholeFile(path, QStringLiteral("new"))
                                                 : ReadWholeFile(path).isEmpty());
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith(start) &&
                     reports[0].endsWith(end.contains(QLatin1Char('%')) ? end.arg(path) : end),
                 qPrintable(reports[0]));
        // Nothing is replaced.
        QCOMPARE(bytesOf(plain), QByteArray("old"));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("link"))).symLinkTarget(), fifo);
    }

    void fileExistsOnDisk()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("here.tqp"));
        QVERIFY(!FileExistsOnDisk(path));
        QVERIFY(!FileExistsOnDisk(QString()));
        QVERIFY(!FileExistsOnDisk(dir.path())); // a folder is not a file
        QVERIFY(WriteWholeFile(path, QString()));
        QVERIFY(FileExistsOnDisk(path)); // and never reports: the base fails on any box
    }
};

TQ_TEST_MAIN(TestFileHelpers)
#include "tst_FileHelpers.moc"
