#pragma once

#include <QString>

/// Where the program keeps things. User data (programs, scripts, configurations,
/// the temporary file) live in the per-user data folder; read-only resources
/// beside the executable or in the install's share folder.
namespace DataPaths {
/// $XDG_DATA_HOME/Taveloq (by default ~/.local/share/Taveloq).
QString UserDataFolder();
QString ProgramsFolder();
QString ScriptsFolder();
QString ConfigFolder();
QString TempFileName();
/// The folder the help file and other shipped resources are read from.
QString ResourceFolder();
} // namespace DataPaths
