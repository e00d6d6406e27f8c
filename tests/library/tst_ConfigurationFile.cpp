#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "library/ConfigurationFile.h"
#include "library/IConfigurationWindows.h"
#include "link/LinkTestSupport.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include <csignal>
#include <sys/resource.h>

// The windows' side as a record: what the loader set, what the writer reads.
struct RecordingWindows final : IConfigurationWindows
{
    WindowPositions positions;
    int mode = 0;
    WindowPositions Positions() const override { return positions; }
    void SetPositions(const WindowPositions &p) override { positions = p; }
    int ExecutionModeIndex() const override { return mode; }
    void SetExecutionModeIndex(int index) override
    {
        if (index < 0 || index > 3)
            throw AppError::subscriptOutOfRange();
        mode = index;
    }
    void FocusInstructionList() override {}
    void Redraw() override {}
};

class TestConfigurationFile : public TestBase
{
    Q_OBJECT

    std::unique_ptr<ProgramPropertyStore> m_properties;
    std::unique_ptr<ServoModel> m_servos;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<ProgramCommands> m_commands;
    ExportSettingsStore m_export;
    RecordingSliders m_sliders;
    RecordingWindows m_windows;
    std::unique_ptr<ConfigurationFile> m_file;
    QString m_path;

    // What a loaded configuration can change, in one line.
    QString state() const
    {
        const ExportSettings e = m_export.Settings();
        const QString label = m_servos->Label(0);
        const QStringList scripts = m_servos->LoadedScripts();
        return QStringList{m_properties->Properties().SynchByte,
                           label.left(8) + QLatin1Char('/') + QString::number(label.size()),
                           QString::number(m_servos->Enabled(3)),
                           QString::number(m_sliders.SliderValue(0)),
                           QString::number(m_windows.mode),
                           m_listing->SelectedInstructionIndex().isEmpty() ? QStringLiteral("-")
                                                                           : m_listing->SelectedInstructionIndex(),
                           QStringLiteral("%1,%2,%3,%4").arg(e.version).arg(e.pin).arg(e.baud).arg(e.method),
                           scripts.isEmpty() ? QStringLiteral("-") : scripts.join(QLatin1Char(',')),
                           m_commands->CurrentProgramPath().isEmpty() ? QStringLiteral("-")
                                                                      : m_commands->CurrentProgramPath()}
            .join(QLatin1Char(' '));
    }
    ConfigurationChoice labelsOnly(bool startUp = false, bool everyTime = false)
    {
        ConfigurationChoice choice;
        choice[ConfigSection::ServoLabels] = true;
        choice.loadOnStartUp = startUp;
        choice.everyTime = everyTime;
        return choice;
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::ScriptsFolder());
        QDir().mkpath(DataPaths::ConfigFolder());
        m_properties = std::make_unique<ProgramPropertyStore>();
        m_servos = std::make_unique<ServoModel>();
        m_listing = std::make_unique<ProgramListing>(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        m_listing->CreateTempFile();
        m_commands = std::make_unique<ProgramCommands>(*m_properties, *m_listing);
        m_sliders = {};
        m_windows = {};
        m_export.SetSettings({});
        m_file = std::make_unique<ConfigurationFile>(
            ConfigurationParts{*m_properties, *m_servos, *m_commands, *m_listing, m_export, m_sliders, m_windows});
        m_path = DataPaths::ConfigFolder() + QStringLiteral("/t.tqc");
    }
    void cleanup()
    {
        m_listing->RemoveTempFile();
        TestBase::cleanup();
    }

    void load_data()
    {
        QTest::addColumn<QStringList>("row");
        for (const QStringList &row : TestDataRows(QStringLiteral("library/config-load.txt")))
            QTest::newRow(qPrintable(row[0])) << row;
    }
    void load()
    {
        QFETCH(QStringList, row);
        for (const char *name : {"/Scripts/a.tqs", "/a.tqs"})
            WriteWholeFileBytes(DataPaths::UserDataFolder() + QLatin1String(name), "");
        m_servos->SetLoadedScripts({QStringLiteral("old.tqs")});
        if (row[1] != QLatin1String("-"))
            WriteWholeFileBytes(m_path, EncodeFileText(row[1]));
        m_file->Load(m_path);
        QCOMPARE(state(), row[2]);
        const QString messages = row.value(3).replace(QStringLiteral("%1"), m_path);
        QCOMPARE(TestMessages().takeTexts(),
                 messages.isEmpty() ? QStringList() : messages.split(QStringLiteral(" + ")));
    }

    void writer_data()
    {
        QTest::addColumn<QString>("old");
        QTest::addColumn<QString>("expected");
        QTest::newRow("new file") << QString() << "library/config-labels-only.tqc";
        QTest::newRow("other sections and lines kept") << "library/config-old.tqc"
                                                       << "library/config-old-labels-only.tqc";
    }
    void writer()
    {
        QFETCH(QString, old);
        QFETCH(QString, expected);
        m_servos->SetLabel(0, QStringLiteral("Kopf \u00e4"));
        m_servos->SetLoadedScripts({QStringLiteral("a.tqs")});
        if (!old.isEmpty())
            WriteWholeFileBytes(m_path, ReadWholeFileBytes(TestDataPath(old)));
        m_file->Save(m_path, labelsOnly());
        QCOMPARE(ReadWholeFileBytes(m_path), ReadWholeFileBytes(TestDataPath(expected)));
        QCOMPARE(ConfigurationFile::StartUpValue(QStringLiteral("Start-Up Mode")), QString());
    }

    // A disk that fills while the configuration is written leaves the old file, not half a new one.
    void failedWriteKeepsTheOldFile()
    {
        const QByteArray old = ReadWholeFileBytes(TestDataPath(QStringLiteral("library/config-old.tqc")));
        WriteWholeFileBytes(m_path, old);
        ConfigurationChoice all;
        all.saved.fill(true);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit small{rlim_t(old.size() + 200), limit.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        const int thrown = ThrownNumber([&] { m_file->Save(m_path, all); });
        setrlimit(RLIMIT_FSIZE, &limit);
        QVERIFY(thrown != 0);
        QCOMPARE(ReadWholeFileBytes(m_path), old);
    }

    void startUpChoice_data()
    {
        QTest::addColumn<int>("choice");    // 0 not asked, 1 next time only, 2 every time, 3 restored after every time
        QTest::addColumn<QString>("loads"); // at the first and the second start
        QTest::newRow("not asked") << 0 << "no no";
        QTest::newRow("next time only") << 1 << "yes no";
        QTest::newRow("every time") << 2 << "yes yes";
        QTest::newRow("defaults restored") << 3 << "no no";
    }
    void startUpChoice()
    {
        QFETCH(int, choice);
        QFETCH(QString, loads);
        m_servos->SetLabel(0, QStringLiteral("Loaded"));
        m_file->Save(m_path, labelsOnly(choice > 0, choice > 1));
        if (choice == 3)
            ConfigurationFile::RestoreStartUpDefaults();
        QStringList seen;
        for (int start = 0; start < 2; ++start) {
            m_servos->SetLabel(0, ServoModel::DefaultLabel(0));
            m_file->LoadAtStartUp();
            seen << (m_servos->Label(0) == QLatin1String("Loaded") ? QStringLiteral("yes") : QStringLiteral("no"));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), loads);
    }
};

TQ_TEST_MAIN(TestConfigurationFile)
#include "tst_ConfigurationFile.moc"
