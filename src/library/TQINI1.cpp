#include "library/TQINI1.h"

#include "app/FileHelpers.h"
#include "library/IniText.h"
#include "platform/AppError.h"

QString ReadIniValue(const QString &section, const QString &key, const QString &file)
{
    try {
        return IniText::FromBytes(ReadWholeFileBytes(file)).Value(section, key);
    } catch (const AppError &) {
        return QString();
    }
}

void WriteIniValue(const QString &section, const QString &key, const std::optional<QString> &value, const QString &file)
{
    IniText ini = IniText::FromBytes(FileExistsOnDisk(file) ? ReadWholeFileBytes(file) : QByteArray());
    ini.SetValue(section, key, value);
    WriteWholeFileBytes(file, ini.ToBytes());
}
