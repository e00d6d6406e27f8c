#include "library/ConfigurationFile.h"

#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "library/IConfigurationWindows.h"
#include "library/IniText.h"
#include "link/IServoSliders.h"
#include "platform/AppError.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/cRegistry.h"
#include "program/ProgramCommands.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"
#include "program/ScriptFolder.h"

#include <functional>

namespace {

const QString kStartUpMode = QStringLiteral("Start-Up Mode");
const QString kStartUpConfig = QStringLiteral("Start-Up Config");
const QString kSaved = QStringLiteral("Saved");
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Section names and their keys besides Saved, by ConfigSection.
const std::array<QString, kConfigSectionCount> kSectionNames{
    QStringLiteral("Properties"),     QStringLiteral("ServoPos"),      QStringLiteral("ServoLabels"),
    QStringLiteral("ServoStatus"),    QStringLiteral("WindowPos"),     QStringLiteral("Scripts"),
    QStringLiteral("CurrentProgram"), QStringLiteral("ExecutionMode"), QStringLiteral("SelectedInstruction"),
    QStringLiteral("Export")};
const QStringList kPropertyKeys{QStringLiteral("SB"),   QStringLiteral("IID"), QStringLiteral("Smart"),
                                QStringLiteral("CP"),   QStringLiteral("BR"),  QStringLiteral("SMAX"),
                                QStringLiteral("SMIN"), QStringLiteral("SCEN")};
const QStringList kWindowKeys{QStringLiteral("State"),     QStringLiteral("MDILeft"),  QStringLiteral("MDITop"),
                              QStringLiteral("MDIHeight"), QStringLiteral("MDIWidth"), QStringLiteral("EXELeft"),
                              QStringLiteral("EXETop"),    QStringLiteral("SRVLeft"),  QStringLiteral("SRVTop")};
const QStringList kExportKeys{QStringLiteral("Version"), QStringLiteral("Pin"), QStringLiteral("Baud"),
                              QStringLiteral("Meth")};

QStringList servoKeys()
{
    QStringList keys;
    for (int i = 0; i < kServoCount; ++i)
        keys << QString::number(i);
    return keys;
}

QStringList keysOf(ConfigSection section)
{
    switch (section) {
    case ConfigSection::Properties:
        return kPropertyKeys;
    case ConfigSection::ServoPos:
    case ConfigSection::ServoLabels:
    case ConfigSection::ServoStatus:
        return servoKeys();
    case ConfigSection::WindowPos:
        return kWindowKeys;
    case ConfigSection::Scripts:
        return {};
    case ConfigSection::CurrentProgram:
        return {QStringLiteral("Path")};
    case ConfigSection::ExecutionMode:
        return {QStringLiteral("Mode")};
    case ConfigSection::SelectedInstruction:
        return {QStringLiteral("Index")};
    case ConfigSection::Export:
        break;
    }
    return kExportKeys;
}

// The properties in the files' key order SB, IID, Smart, CP, BR, SMAX, SMIN, SCEN.
constexpr std::array<PropertyField, 8> kPropertyOrder{PropertyField::SynchByte,  PropertyField::InterInstructionDelay,
                                                      PropertyField::SmartDelay, PropertyField::CommPort,
                                                      PropertyField::BaudRate,   PropertyField::ServoMax,
                                                      PropertyField::ServoMin,   PropertyField::ServoCenter};

// A Boolean as the files hold it: "True"/"False" in any case, or a number (0 is False).
bool toBoolean(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(kTrue, Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(kFalse, Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = NumericValue(t);
    if (!number)
        throw AppError::typeMismatch();
    return *number != 0;
}

void setStartUpValue(const QString &name, const QString &value)
{
    cRegistry::AppKey(name).SetValue(value);
}

// One step of the loader: a failure skips the rest of it, and nothing is told.
void step(const std::function<void()> &work)
{
    try {
        work();
    } catch (const AppError &) {
    }
}

} // namespace

ConfigurationFile::ConfigurationFile(const ConfigurationParts &parts)
    : m_parts(parts)
{
}

void ConfigurationFile::Load(const QString &path) const
{
    if (path.isEmpty())
        return;
    if (!FileExistsOnDisk(path)) {
        ShowUserMessage(QStringLiteral("The configuration file ( ") + path + QStringLiteral(" ) could not be found."),
                        MsgButtons::OkCancel, MsgIcon::Information);
        return;
    }
    IniText ini;
    try {
        ini = IniText::FromBytes(ReadWholeFileBytes(path));
    } catch (const AppError &) {
        // Unreadable: every section reads as missing, the scripts list is still emptied.
    }
    const auto name = [](ConfigSection s) { return kSectionNames.at(int(s)); };
    const auto value = [&ini, &name](ConfigSection s, const QString &key) { return ini.Value(name(s), key); };
    const auto saved = [&value](ConfigSection s) { return value(s, kSaved) == kTrue; };

    if (saved(ConfigSection::CurrentProgram)) {
        step([&] {
            m_parts.commands.SetCurrentProgramPath(value(ConfigSection::CurrentProgram, QStringLiteral("Path")));
            m_parts.commands.LoadProgramFile();
        });
    }
    if (saved(ConfigSection::Properties)) {
        // A set the program file's check would refuse is skipped like any failing section.
        ProgramProperties properties;
        for (int i = 0; i < 8; ++i)
            properties.*MemberOf(kPropertyOrder.at(i)) = value(ConfigSection::Properties, kPropertyKeys.at(i));
        if (!PropertiesInvalid(properties))
            m_parts.properties.SetProperties(properties);
    }
    if (saved(ConfigSection::ServoPos)) {
        step([&] {
            std::array<qint16, kServoCount> positions{};
            for (int i = 0; i < kServoCount; ++i)
                positions.at(i) = ToInteger(value(ConfigSection::ServoPos, QString::number(i)));
            for (int i = 0; i < kServoCount; ++i)
                m_parts.sliders.SetSliderValue(i, positions.at(i));
        });
    }
    if (saved(ConfigSection::ServoLabels)) {
        for (int i = 0; i < kServoCount; ++i)
            m_parts.servos.SetLabel(i, value(ConfigSection::ServoLabels, QString::number(i)));
    }
    if (saved(ConfigSection::ServoStatus)) {
        step([&] {
            std::array<bool, kServoCount> enabled{};
            for (int i = 0; i < kServoCount; ++i)
                enabled.at(i) = toBoolean(value(ConfigSection::ServoStatus, QString::number(i)));
            for (int i = 0; i < kServoCount; ++i)
                m_parts.servos.SetEnabled(i, enabled.at(i));
        });
    }
    if (saved(ConfigSection::WindowPos)) {
        step([&] {
            std::array<qint16, 9> v{};
            for (int i = 0; i < 9; ++i)
                v.at(i) = ToInteger(value(ConfigSection::WindowPos, kWindowKeys.at(i)));
            m_parts.windows.SetPositions({v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]});
        });
    }
    if (saved(ConfigSection::ExecutionMode)) {
        step([&] {
            const int mode = ToInteger(value(ConfigSection::ExecutionMode, QStringLiteral("Mode")));
            if (mode < 0 || mode > 3)
                throw AppError::subscriptOutOfRange();
            m_parts.windows.SetExecutionModeIndex(mode);
        });
    }
    if (saved(ConfigSection::SelectedInstruction)) {
        step([&] {
            const int index = ToInteger(value(ConfigSection::SelectedInstruction, QStringLiteral("Index")));
            m_parts.listing.SetSelectedInstructionIndex(QString::number(index));
            m_parts.listing.SetSelectedLine(index);
            m_parts.windows.FocusInstructionList();
        });
    }
    if (saved(ConfigSection::Export)) {
        step([&] {
            std::array<qint32, 4> v{};
            for (int i = 0; i < 4; ++i)
                v.at(i) = ToLong(value(ConfigSection::Export, kExportKeys.at(i)));
            m_parts.exportSettings.SetSettings({v[0], v[1], v[2], v[3]});
        });
    }
    step([&] {
        m_parts.servos.SetLoadedScripts({});
        const int count = ToInteger(value(ConfigSection::Scripts, QStringLiteral("Count")));
        QStringList names;
        for (int i = 0; i < count; ++i) {
            const QString script = value(ConfigSection::Scripts, QString::number(i));
            // A name with a folder in it is no file of the Scripts folder.
            if (!script.contains(QLatin1Char('/')) &&
                !ScriptFolder::Find(DataPaths::ScriptsFolder(), script).isEmpty()) {
                names << script;
                m_parts.servos.SetLoadedScripts(names);
            } else {
                ShowUserMessage(QStringLiteral("The Script File: ( ") + script +
                                    QStringLiteral(" ) could not be found and is not going to be loaded."),
                                MsgButtons::OkCancel, MsgIcon::Information);
            }
        }
    });
    step([&] {
        // Applying the properties again sets the grid, the sliders' range and the port.
        m_parts.properties.SetProperties(m_parts.properties.Properties());
        m_parts.windows.Redraw();
    });
}

QByteArray ConfigurationFile::Text(const QByteArray &old, const ConfigurationChoice &choice) const
{
    IniText ini = IniText::FromBytes(old);
    for (int s = 0; s < kConfigSectionCount; ++s) {
        const auto section = ConfigSection(s);
        const QString name = kSectionNames.at(s);
        if (section == ConfigSection::Scripts) {
            const QStringList scripts = choice[section] ? m_parts.servos.LoadedScripts() : QStringList();
            ini.SetValue(name, QStringLiteral("Count"), QString::number(scripts.size()));
            for (int i = 0; i < scripts.size(); ++i)
                ini.SetValue(name, QString::number(i), scripts.at(i));
            continue;
        }
        const QStringList keys = keysOf(section);
        ini.SetValue(name, kSaved, choice[section] ? kTrue : kFalse);
        if (!choice[section]) {
            for (const QString &key : keys)
                ini.SetValue(name, key, std::nullopt);
            continue;
        }
        QStringList values;
        switch (section) {
        case ConfigSection::Properties:
            for (PropertyField field : kPropertyOrder)
                values << m_parts.properties.Value(field);
            break;
        case ConfigSection::ServoPos:
            for (int i = 0; i < kServoCount; ++i)
                values << QString::number(m_parts.servos.Position(i));
            break;
        case ConfigSection::ServoLabels:
            for (int i = 0; i < kServoCount; ++i)
                values << m_parts.servos.Label(i);
            break;
        case ConfigSection::ServoStatus:
            for (int i = 0; i < kServoCount; ++i)
                values << (m_parts.servos.Enabled(i) ? kTrue : kFalse);
            break;
        case ConfigSection::WindowPos: {
            const WindowPositions w = m_parts.windows.Positions();
            for (int v :
                 {w.state, w.mdiLeft, w.mdiTop, w.mdiHeight, w.mdiWidth, w.exeLeft, w.exeTop, w.srvLeft, w.srvTop})
                values << QString::number(v);
            break;
        }
        case ConfigSection::CurrentProgram:
            values << m_parts.commands.CurrentProgramPath();
            break;
        case ConfigSection::ExecutionMode:
            values << QString::number(m_parts.windows.ExecutionModeIndex());
            break;
        case ConfigSection::SelectedInstruction:
            values << QString::number(m_parts.listing.SelectedLine());
            break;
        case ConfigSection::Export: {
            const ExportSettings e = m_parts.exportSettings.Settings();
            for (qint32 v : {e.version, e.pin, e.baud, e.method})
                values << QString::number(v);
            break;
        }
        case ConfigSection::Scripts:
            break;
        }
        for (int i = 0; i < keys.size(); ++i)
            ini.SetValue(name, keys.at(i), values.at(i));
    }
    return ini.ToBytes();
}

void ConfigurationFile::Save(const QString &path, const ConfigurationChoice &choice) const
{
    const QByteArray old = FileExistsOnDisk(path) ? ReadWholeFileBytes(path) : QByteArray();
    WriteWholeFileBytes(path, Text(old, choice));
    // After the file: the start-up choice never names a file that failed to be written.
    if (choice.loadOnStartUp) {
        setStartUpValue(kStartUpConfig, path);
        setStartUpValue(kStartUpMode, choice.everyTime ? QStringLiteral("2") : QStringLiteral("1"));
    }
}

void ConfigurationFile::LoadAtStartUp() const
{
    const QString mode = StartUpValue(kStartUpMode);
    if (mode == QLatin1String("1")) {
        try {
            setStartUpValue(kStartUpMode, QStringLiteral("0"));
        } catch (const AppError &) {
            // A store that cannot be written must not load the file at every start.
            return;
        }
        Load(StartUpValue(kStartUpConfig));
    } else if (mode == QLatin1String("2")) {
        Load(StartUpValue(kStartUpConfig));
    }
}

void ConfigurationFile::RestoreStartUpDefaults()
{
    setStartUpValue(kStartUpConfig, QString());
    setStartUpValue(kStartUpMode, QStringLiteral("0"));
}

QString ConfigurationFile::StartUpValue(const QString &name)
{
    cRegistry reg = cRegistry::AppKey(name);
    reg.SetDefault(QString());
    return reg.Value().toString();
}
