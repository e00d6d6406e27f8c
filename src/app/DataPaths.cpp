#include "app/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataPaths {

QString UserDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Taveloq");
}

QString ProgramsFolder()
{
    return UserDataFolder() + QStringLiteral("/Programs");
}

QString ScriptsFolder()
{
    return UserDataFolder() + QStringLiteral("/Scripts");
}

QString ConfigFolder()
{
    return UserDataFolder() + QStringLiteral("/Config");
}

QString TempFileName()
{
    return QStringLiteral("tq0001.tmp");
}

QString ResourceFolder()
{
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    // Installed: <prefix>/bin/taveloq with resources in <prefix>/share/taveloq.
    const QString shared = QDir::cleanPath(exeDir + QStringLiteral("/../share/taveloq"));
    if (QFileInfo(shared).isDir())
        return shared;
    return exeDir;
}

} // namespace DataPaths
