#pragma once

#include <QString>

/// Where the program keeps things: user data (programs, scripts, configurations,
/// the temporary file) live in the per-user data folder.
namespace DataPaths {
/// $XDG_DATA_HOME/Taveloq (by default ~/.local/share/Taveloq).
QString UserDataFolder();
QString ProgramsFolder();
QString ScriptsFolder();
QString ConfigFolder();
QString TempFileName();
} // namespace DataPaths
