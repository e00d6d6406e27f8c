// Saves one kind of file again and again through the application's own save
// functions, two contents in turn, until killed: the fault tests kill it at
// random moments. "fault_saver KIND PATH" loops (telling "saved" after the
// first save), "fault_saver KIND PATH N" saves content N once. KIND: program,
// script, configuration or settings (PATH unused: the settings file is the
// store's own).

#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "library/ConfigurationFile.h"
#include "library/IConfigurationWindows.h"
#include "link/IServoSliders.h"
#include "platform/AppError.h"
#include "platform/cRegistry.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

struct NoSliders final : IServoSliders
{
    void SetSliderRange(int, int, int) override {}
    void SetSliderValue(int, int) override {}
};

struct NoWindows final : IConfigurationWindows
{
    WindowPositions Positions() const override { return {}; }
    void SetPositions(const WindowPositions &) override {}
    int ExecutionModeIndex() const override { return 0; }
    void SetExecutionModeIndex(int) override {}
    void FocusInstructionList() override {}
    void Redraw() override {}
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString kind = args.value(1);
    const QString path = args.value(2);
    QDir().mkpath(DataPaths::UserDataFolder());
    ProgramPropertyStore properties;
    ServoModel servos;
    ProgramListing listing(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
    ProgramCommands commands(properties, listing);
    ExportSettingsStore exportSettings;
    NoSliders sliders;
    NoWindows windows;
    const ConfigurationFile configuration({properties, servos, commands, listing, exportSettings, sliders, windows});
    cRegistry setting = cRegistry::AppKey(QStringLiteral("Value"), cRegistry::Text, QStringLiteral("Fault"));

    // Contents of different lengths, so a partial file cannot pass for either.
    QStringList lines[2];
    for (int i = 0; i < 20000; ++i)
        lines[i % 2] << QStringLiteral("mov %1,%2").arg(i % 16).arg(i % 256);
    const bool once = args.size() > 3;
    for (int n = once ? args[3].toInt() : 0;; ++n) {
        const int which = n % 2;
        bool saved = true;
        try {
            if (kind == QLatin1String("program") || kind == QLatin1String("script")) {
                listing.Reset(lines[which]);
                commands.SetCurrentProgramPath(path);
                saved = commands.SaveProgram(kind == QLatin1String("script"));
            } else if (kind == QLatin1String("configuration")) {
                commands.SetCurrentProgramPath(lines[which].join(QLatin1Char('/')));
                configuration.Save(path, ConfigurationChoice{{true, true, true, true, true, true, true, true}});
            } else {
                setting.SetValue(lines[which].join(QLatin1Char(' ')));
            }
        } catch (const AppError &) {
            saved = false;
        }
        if (once)
            return saved ? 0 : 1;
        if (n == 0) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
