#pragma once

#include "app/ProgramProperties.h"

#include <QString>

#include <array>

/// The BASIC export choices kept with configurations.
struct ExportSettings
{
    qint32 ExportVersion = 0;
    qint32 ExportPin = 0;
    qint32 ExportBaud = 0;
    qint32 ExportMethod = 0;

    bool operator==(const ExportSettings &) const = default;
};

inline constexpr int kServoCount = 16;
inline constexpr qint16 kTrue = -1;
inline constexpr qint16 kFalse = 0;

/// The one application-wide record every window reads and writes.
struct AppState
{
    QString TempFilePath;
    QString CurrentProgramPath;
    ProgramProperties Properties;
    std::array<qint16, kServoCount> ServoPosition{};
    std::array<QString, kServoCount> ServoStatusText{};
    std::array<QString, 2> GridCellValue{};
    qint16 InsertMode = kFalse;
    ExportSettings Export;
};

/// The process's AppState.
AppState &App();

/// Back to the state of a fresh process (used between tests and by start-up).
void ResetAppState();
