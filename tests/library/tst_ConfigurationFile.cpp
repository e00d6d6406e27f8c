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

// The windows' side as a record: what the loader set, what the writer reads.
struct RecordingWindows final : IConfigurationWindows
{
    WindowPositions positions;
    int mode = 0;
    WindowPositions Positions() const override { return positions; }
    void SetPositions(const WindowPositions &p) override { positions = p; }
    int ExecutionModeIndex() const override { return mode; }
    void SetExecutionModeIndex(int index) override { mode = index; }
    void FocusInstructionList() override {}
    void Redraw() override {}
};

// The stores a configuration restores, fresh for each test.
struct Rig
{
    ProgramPropertyStore properties;
    ServoModel servos;
    ProgramListing listing{DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp")};
    ProgramCommands commands{properties, listing};
    ExportSettingsStore exportSettings;
    RecordingSliders sliders;
    RecordingWindows windows;
    ConfigurationFile file{{properties, servos, commands, listing, exportSettings, sliders, windows}};
};

// Only "Servo Labels" ticked (the third section).
const ConfigurationChoice kLabelsOnly{{false, false, true}};

class TestConfigurationFile : public TestBase
{
    Q_OBJECT

    std::unique_ptr<Rig> r;
    QString m_path;

    // What a loaded configuration can change, in one line ("-" for nothing).
    QString state() const
    {
        const auto text = [](const QString &t) { return t.isEmpty() ? QStringLiteral("-") : t; };
        const ExportSettings e = r->exportSettings.Settings();
        const QString label = r->servos.Label(0);
        return QStringLiteral("%1 %2/%3 %4 %5 %6 %7 %8,%9,%10,%11 %12 %13")
            .arg(r->properties.Properties().SynchByte, label.left(8))
            .arg(label.size())
            .arg(int(r->servos.Enabled(3)))
            .arg(r->sliders.SliderValue(0))
            .arg(r->windows.mode)
            .arg(text(r->listing.SelectedInstructionIndex()))
            .arg(e.version)
            .arg(e.pin)
            .arg(e.baud)
            .arg(e.method)
            .arg(text(r->servos.LoadedScripts().join(QLatin1Char(','))), text(r->commands.CurrentProgramPath()));
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::ScriptsFolder());
        QDir().mkpath(DataPaths::ConfigFolder());
        r = std::make_unique<Rig>();
        m_path = DataPaths::ConfigFolder() + QStringLiteral("/t.tqc");
    }

    void load_data() { AddTestDataRows(QStringLiteral("library/config-load.txt")); }
    void load()
    {
        QFETCH(QStringList, row);
        for (const char *name : {"/Scripts/a.tqs", "/a.tqs"})
            WriteWholeFileBytes(DataPaths::UserDataFolder() + QLatin1String(name), "");
        r->servos.SetLoadedScripts({QStringLiteral("old.tqs")});
        if (row[1] != QLatin1String("-"))
            WriteWholeFileBytes(m_path, EncodeFileText(row[1]));
        r->file.Load(m_path);
        QCOMPARE(state(), row[2]);
        const QString messages = row.value(3).replace(QStringLiteral("%1"), m_path);
        QCOMPARE(TestMessages().takeTexts(),
                 messages.isEmpty() ? QStringList() : messages.split(QStringLiteral(" + ")));
    }

    // Unticked parts lose their keys; what the writer does not name stays.
    void writerKeepsOtherLines()
    {
        r->servos.SetLabel(0, QStringLiteral("Kopf \u00e4"));
        r->servos.SetLoadedScripts({QStringLiteral("a.tqs")});
        WriteWholeFileBytes(m_path, ReadWholeFileBytes(TestDataPath(QStringLiteral("library/config-old.tqc"))));
        r->file.Save(m_path, kLabelsOnly);
        QCOMPARE(ReadWholeFileBytes(m_path),
                 ReadWholeFileBytes(TestDataPath(QStringLiteral("library/config-old-labels-only.tqc"))));
    }

    void startUpChoice_data() { AddTestDataRows(QStringLiteral("library/config-start-up.txt")); }
    void startUpChoice()
    {
        QFETCH(QStringList, row);
        const int choice = row[1].toInt();
        r->servos.SetLabel(0, QStringLiteral("Loaded"));
        r->file.Save(m_path, {kLabelsOnly.saved, choice > 0, choice > 1});
        if (choice == 3)
            ConfigurationFile::RestoreStartUpDefaults();
        QStringList seen;
        for (int start = 0; start < 2; ++start) {
            r->servos.SetLabel(0, ServoModel::DefaultLabel(0));
            r->file.LoadAtStartUp();
            seen << (r->servos.Label(0) == QLatin1String("Loaded") ? QStringLiteral("yes") : QStringLiteral("no"));
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), row[2]);
    }
};

TQ_TEST_MAIN(TestConfigurationFile)
#include "tst_ConfigurationFile.moc"
