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

namespace {

// Records what start-up asks of its windows, with the virtual time of each call.
class RecordingHost final : public IStartupHost
{
public:
    explicit RecordingHost(const IClock &clock)
        : m_clock(clock)
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
    void record(const QString &what) { calls << QStringLiteral("%1 ms %2").arg(m_clock.nowNs() / 1'000'000).arg(what); }
    const IClock &m_clock;
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

    void freshAccount()
    {
        RecordingHost host(m_clock);
        const qint64 t0 = m_clock.nowNs() / 1'000'000;
        QVERIFY(RunStartUp(host));

        QStringList expected = {
            QStringLiteral("splash: Initializing application. Please wait..."),
            QStringLiteral("splash: Creating application window..."),
            QStringLiteral("main window"),
            QStringLiteral("splash: Finalizing settings..."),
            QStringLiteral("recent files"),
            QStringLiteral("unload splash"),
        };
        const QList<qint64> at = {0, 2000, 2000, 2000, 4000, 4000};
        for (int i = 0; i < expected.size(); ++i)
            expected[i] = QStringLiteral("%1 ms %2").arg(t0 + at[i]).arg(expected[i]);
        QCOMPARE(host.calls, expected);
        QCOMPARE(m_clock.waitsMs(), (QList<qint64>{2000, 2000}));

        const QString data = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Taveloq");
        QVERIFY(host.m_tempEmptyAtLoad);
        for (const char *folder : {"Scripts", "Programs", "Config"})
            QVERIFY2(QDir(data + QLatin1Char('/') + QLatin1String(folder)).exists(), folder);
        QCOMPARE(initValue().Value(), QVariant(qint32(1)));
    }

    void leftoverTemporaryFileIsEmptiedAndFoldersKept()
    {
        QDir().mkpath(DataPaths::ScriptsFolder());
        QDir().mkpath(DataPaths::ProgramsFolder());
        QVERIFY(
            WriteWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/wave.tqs"), QStringLiteral("mov 1,2\r\n")));
        const QString temp = DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp");
        QVERIFY(WriteWholeFile(temp, QStringLiteral("mov 3,127\r\npause 500\r\n")));

        RecordingHost host(m_clock);
        QVERIFY(RunStartUp(host));
        QCOMPARE(QFileInfo(temp).size(), qint64(0));
        QCOMPARE(ReadWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/wave.tqs")),
                 QStringLiteral("mov 1,2\r\n"));
        QVERIFY(QDir(DataPaths::ConfigFolder()).exists()); // the missing one is created
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

    void unwritableSettingsDoNotStopTheProgram()
    {
        // The settings folder is a file: the mark cannot be written, which is reported once.
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Taveloq");
        QVERIFY(WriteWholeFile(folder, QString()));
        RecordingHost host(m_clock);
        QVERIFY(RunStartUp(host));
        QVERIFY(host.calls.last().endsWith(QStringLiteral("unload splash")));
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral("Routine Code: 0139\r\nError Numer: 26001\r\n")));
        QFile::remove(folder);
    }

    void dataFolderThatCannotBeMadeEndsStartUp()
    {
        QDir().mkpath(qEnvironmentVariable("XDG_DATA_HOME"));
        QVERIFY(WriteWholeFile(DataPaths::UserDataFolder(), QString())); // a file where the folder should be
        RecordingHost host(m_clock);
        QVERIFY(!RunStartUp(host));
        QCOMPARE(host.calls.size(), 1);
        QVERIFY(host.calls[0].endsWith(QStringLiteral("unload splash")));
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral("Routine Code: 0139\r\nError Numer: 75\r\n")));
        QFile::remove(DataPaths::UserDataFolder());
    }

    void temporaryFileThatIsAFolderIsReportedAndStartUpGoesOn()
    {
        QDir().mkpath(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        RecordingHost host(m_clock);
        QVERIFY(RunStartUp(host));
        QVERIFY(host.calls.last().endsWith(QStringLiteral("unload splash")));
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports[0].startsWith(QStringLiteral("Routine Code: 0141\r\n")) &&
                     reports[0].contains(QStringLiteral("not a regular file")),
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
