#pragma once

#include <QByteArray>
#include <QString>

#include <array>

class ExportSettingsStore;
class IConfigurationWindows;
class IServoSliders;
class ProgramCommands;
class ProgramListing;
class ProgramPropertyStore;
class ServoModel;

/// The sections of a configuration file, in the order the writer writes them.
enum class ConfigSection {
    Properties,
    ServoPos,
    ServoLabels,
    ServoStatus,
    WindowPos,
    Scripts,
    CurrentProgram,
    ExecutionMode,
    SelectedInstruction,
    Export
};
inline constexpr int kConfigSectionCount = 10;

/// What the Save Configuration dialog hands the writer.
struct ConfigurationChoice
{
    std::array<bool, kConfigSectionCount> saved{}; ///< by ConfigSection
    bool loadOnStartUp = false;
    bool everyTime = false; ///< "Every Time" rather than "Next Time Only"

    bool &operator[](ConfigSection section) { return saved.at(int(section)); }
    bool operator[](ConfigSection section) const { return saved.at(int(section)); }
};

/// Everything a configuration restores or records; all of it outlives the file object.
struct ConfigurationParts
{
    ProgramPropertyStore &properties;
    ServoModel &servos;
    ProgramCommands &commands;
    ProgramListing &listing;
    ExportSettingsStore &exportSettings;
    IServoSliders &sliders;
    IConfigurationWindows &windows;
};

/// Configuration files (".tqc"): a snapshot of the working environment that
/// the user saves by parts, loads by command or has loaded at start-up.
class ConfigurationFile
{
public:
    explicit ConfigurationFile(const ConfigurationParts &parts);

    /// Restores what the file holds, section by section. A section that fails
    /// (a missing or unreadable value, invalid properties) is skipped
    /// silently; a missing file or script is told to the user.
    void Load(const QString &path) const;

    /// The file's new text: `old` with every section set as the choice says,
    /// lines the writer does not name kept as they were.
    QByteArray Text(const QByteArray &old, const ConfigurationChoice &choice) const;
    /// Writes the file in one replacement, then the start-up choice when one
    /// was asked for. Throws AppError; a failed write leaves the old file whole.
    void Save(const QString &path, const ConfigurationChoice &choice) const;

    /// The main window's load step: "1" loads once and resets, "2" loads every time.
    void LoadAtStartUp() const;
    /// "Start-Up Config" = "" and "Start-Up Mode" = "0". Throws AppError.
    static void RestoreStartUpDefaults();
    /// The settings store's value of the start-up choice ("Start-Up Mode", "Start-Up Config").
    static QString StartUpValue(const QString &name);

private:
    ConfigurationParts m_parts;
};
