#pragma once

#include <QtGlobal>

/// The four choices of the BASIC export, kept for the application's life and
/// carried by configuration files; all 0 at start-up.
struct ExportSettings
{
    qint32 version = 0; ///< target index 0..4
    qint32 pin = 0;     ///< list index of the output pin
    qint32 baud = 0;    ///< 0 "N2400", 1 "N9600"
    qint32 method = 0;  ///< 0 SEROUT, 1 LOOKUP
    bool operator==(const ExportSettings &) const = default;
};

/// The one store of the export choices; the export dialog and the configuration files share it.
class ExportSettingsStore final
{
public:
    const ExportSettings &Settings() const { return m_settings; }
    void SetSettings(const ExportSettings &settings) { m_settings = settings; }

private:
    ExportSettings m_settings;
};
