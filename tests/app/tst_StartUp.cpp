#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/StartUp.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/cRegistry.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>

#include <sys/mount.h>
#include <unistd.h>

namespace {

// Records what start-up asks of its windows, with the virtual time of each call.
class RecordingHost final : public IStartupHost
{
public:
    explicit RecordingHost(const IClock &clock)
        : m_clock(clock)
        , m_start(clock.nowNs())
    {
    }
    void PrepareTempFile() override { listing.CreateTempFile(); }
    void ShowSplash() override { record(QStringLiteral("splash: Initializing application. Please wait...")); }
    void SetSplashStatus(const QString &text) override { record(QStringLiteral("splash: ") + text); }
    void LoadMainWindow() override
    {
        // The temporary file exists and is empty before any window loads.
        const QFileInfo temp(listing.TempFilePath());
        m_tempEmptyAtLoad = temp.exists() && temp.size() == 0;
        record(QStringLiteral("main window"));
    }
    void ShowRecentFiles() override { record(QStringLiteral("recent files")); }
    void UnloadSplash() override { record(QStringLiteral("unload splash")); }

    ProgramListing listing{DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp")};
    QStringList calls;
    bool m_tempEmptyAtLoad = false;

private:
    void record(const QString &what)
    {
        calls << QStringLiteral("%1 ms %2").arg((m_clock.nowNs() - m_start) / 1'000'000).arg(what);
    }
    const IClock &m_clock;
    const qint64 m_start;
};

cRegistry initValue()
{
    return cRegistry::AppKey(QStringLiteral("INIT"), cRegistry::Number);
}

} // namespace

class TestStartUp : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestBase::init();
        Services::setClock(&m_clock);
        m_clock.clearWaits();
    }

    // A leftover temporary file and a Scripts folder with a file in it; the other folders are missing.
    void startUpOrderAndFolders()
    {
        const QString script = DataPaths::ScriptsFolder() + QStringLiteral("/wave.tqs");
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(script, QStringLiteral("mov 1,2\r\n")));
        QVERIFY(WriteWholeFile(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"), QStringLiteral("pause 5")));
        RecordingHost host(m_clock);
        QVERIFY(RunStartUp(host));
        QCOMPARE(host.calls, ReadWholeFile(TestDataPath(QStringLiteral("app/fresh-start.txt")))
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        QCOMPARE(m_clock.waitsMs(), (QList<qint64>{2000, 2000}));
        QVERIFY(host.m_tempEmptyAtLoad);
        QCOMPARE(ReadWholeFile(script), QStringLiteral("mov 1,2\r\n"));
        const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Taveloq/");
        for (const char *folder : {"Programs", "Config"})
            QVERIFY2(QDir(data + QLatin1String(folder)).exists(), folder);
        QCOMPARE(initValue().Value(), QVariant(qint32(1)));
    }

    void firstRunMark()
    {
        // 0 becomes 1.
        cRegistry zero = initValue();
        zero.SetValue(qint32(0));
        RecordingHost host(m_clock);
        QVERIFY(RunStartUp(host));
        QCOMPARE(initValue().Value(), QVariant(qint32(1)));

        // 1 is left alone: the store is not even rewritten.
        const QDateTime past = QDateTime::currentDateTime().addDays(-3);
        {
            QFile store(cRegistry::StorePath());
            QVERIFY(store.open(QIODevice::ReadWrite));
            QVERIFY(store.setFileTime(past, QFileDevice::FileModificationTime));
        }
        QVERIFY(RunStartUp(host));
        QCOMPARE(QFileInfo(cRegistry::StorePath()).lastModified(), past);
    }

    void blockedPathsAreReported_data() { AddTestDataRows(QStringLiteral("app/blocked-paths.txt")); }
    void blockedPathsAreReported()
    {
        QFETCH(QStringList, row);
        const QString path = QFileInfo(qEnvironmentVariable("XDG_CONFIG_HOME")).path() + QLatin1Char('/') + row[1];
        const int what = row[2].toInt();
        const bool goesOn = row[3] == QLatin1String("yes");
        const QString &report = row[4];
        QDir().mkpath(what ? path : QFileInfo(path).path());
        QVERIFY(what || WriteWholeFile(path, QString()));
        const QByteArray mountPoint = QFile::encodeName(path);
        if (what >= 2 && (geteuid() != 0 || mount("tmpfs", mountPoint, "tmpfs", 0, "size=64k") != 0))
            QSKIP("mounting a read-only file system needs root");
        const auto unmount = qScopeGuard([&] {
            if (what >= 2)
                umount2(mountPoint, MNT_DETACH);
        });
        for (const QString &folder :
             {DataPaths::ScriptsFolder(), DataPaths::ProgramsFolder(), DataPaths::ConfigFolder()})
            QVERIFY(what != 3 || QDir().mkpath(folder));
        QVERIFY(what < 2 || mount("tmpfs", mountPoint, "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0);
        RecordingHost host(m_clock);
        QCOMPARE(RunStartUp(host), goesOn);
        QCOMPARE(host.calls.size(), goesOn ? 6 : what == 2 ? 2 : 1); // the splash is up when the folders fail
        QVERIFY(host.calls.last().endsWith(QStringLiteral("unload splash")));
        const QString reports = TestMessages().takeTexts().join(QStringLiteral(" + "));
        QVERIFY2(QRegularExpression(QStringLiteral("^") + report, QRegularExpression::DotMatchesEverythingOption)
                     .match(reports)
                     .hasMatch(),
                 qPrintable(reports));
        QCOMPARE(reports.count(QStringLiteral("Routine Code")), report.count(QStringLiteral("Routine Code")));
    }

private:
    VirtualClock m_clock{1'000'000'000};
};

TQ_TEST_MAIN(TestStartUp)
#include "tst_StartUp.moc"
