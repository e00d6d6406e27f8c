#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

/// The script files of the Scripts folder as lines and dialogs name them. A
/// name on disk whose bytes are not UTF-8 (a file from an older system) is
/// read as Latin-1, as the lines of files are, so such a script is listed and
/// found under the name its lines carry.
namespace ScriptFolder {

/// The folder's "*.tqs" files, the extension in any letter case, ordered by
/// name ignoring letter case. A folder that cannot be read throws AppError 76
/// "Path not found".
QStringList Names(const QString &folder);

/// The file a script name stands for, in the system's bytes: the name as
/// written; else, for a name without a folder, its Latin-1 bytes, then a file
/// whose name differs only in letter case. Empty when there is none. Read it
/// with ReadNativeFileBytes.
QByteArray Find(const QString &folder, const QString &name);

/// The name as written, in the system's bytes: where a script of that name is written.
QByteArray Exact(const QString &folder, const QString &name);

} // namespace ScriptFolder
