#include "app/DataPaths.h"

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

} // namespace DataPaths
