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
    cRegistry reg;
    reg.SetClassKey(cRegistry::CurrentUser);
    reg.SetSectionKey(QStringLiteral("Software\\Taveloq Team\\Taveloq"));
    reg.SetValueKey(QStringLiteral("INIT"));
    reg.SetValueType(cRegistry::Number);
    return reg;
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

    // Something of the wrong kind where start-up needs a file or folder: reported once.
    void blockedPathsAreReported_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("folder"); // a folder, else a file, is put there
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("report");
        const QString data = DataPaths::UserDataFolder();
        QTest::newRow("settings folder is a file")
            << qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Taveloq") << false << true
            << "Routine Code: 0139\r\nError Numer: 26001\r\n";
        QTest::newRow("data folder is a file") << data << false << false << "Routine Code: 0139\r\nError Numer: 75\r\n";
        QTest::newRow("temporary file that is a folder")
            << data + QStringLiteral("/tq0001.tmp") << true << true << "Routine Code: 0141\r\n.*not a regular file";
    }
    void blockedPathsAreReported()
    {
        QFETCH(QString, path);
        QFETCH(bool, folder);
        QFETCH(bool, goesOn);
        QFETCH(QString, report);
        QDir().mkpath(folder ? path : QFileInfo(path).path());
        QVERIFY(folder || WriteWholeFile(path, QString()));
        RecordingHost host(m_clock);
        QCOMPARE(RunStartUp(host), goesOn);
        QCOMPARE(host.calls.size(), goesOn ? 6 : 1);
        QVERIFY(host.calls.last().endsWith(QStringLiteral("unload splash")));
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("^") + report, QRegularExpression::DotMatchesEverythingOption)
                     .match(reports[0])
                     .hasMatch(),
                 qPrintable(reports[0]));
    }

    void secondCopyTakesTheNextNameAndLeftoverLocksAreTakenOver()
    {
        const QString folder = DataPaths::UserDataFolder();
        QDir().mkpath(folder);
        // A copy that crashed left its file and its lock behind.
        QVERIFY(WriteWholeFile(folder + QStringLiteral("/tq0001.tmp"), QStringLiteral("mov 1,1\r\n")));
        QVERIFY(WriteWholeFile(folder + QStringLiteral("/tq0001.tmp.lock"), QStringLiteral("999999\ntaveloq\n\n")));
        ProgramListing first(folder + QStringLiteral("/tq0001.tmp"));
        first.CreateTempFile();
        QCOMPARE(QFileInfo(first.TempFilePath()).size(), qint64(0));
        first.Append(QStringLiteral("mov 2,2"));

        ProgramListing second(folder + QStringLiteral("/tq0001.tmp"));
        second.CreateTempFile();
        QCOMPARE(second.TempFilePath(), folder + QStringLiteral("/tq0002.tmp"));
        second.RemoveTempFile();
        QVERIFY(!QFile::exists(second.TempFilePath()));
        QCOMPARE(ReadWholeFile(first.TempFilePath()), QStringLiteral("mov 2,2\r\n"));
    }

private:
    VirtualClock m_clock{1'000'000'000};
};

TQ_TEST_MAIN(TestStartUp)
#include "tst_StartUp.moc"
