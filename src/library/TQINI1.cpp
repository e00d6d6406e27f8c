#include "library/TQINI1.h"

#include "app/FileHelpers.h"
#include "library/IniText.h"
#include "platform/AppError.h"

QString ReadIniValue(const QString &section, const QString &key, const QString &file)
{
    try {
        return IniText::FromBytes(ReadWholeFileBytes(file)).Value(section, key);
    } catch (const AppError &) {
        return {}; // a missing or unreadable file reads as one without the key
    }
}

void WriteIniValue(const QString &section, const QString &key, const std::optional<QString> &value, const QString &file)
{
    QByteArray old;
    try {
        old = ReadWholeFileBytes(file);
    } catch (const AppError &e) {
        // A missing file starts empty; one that cannot be read is never replaced blind.
        if (e.number() != ErrorNumber::kFileNotFound)
            throw;
    }
    IniText ini = IniText::FromBytes(old);
    ini.SetValue(section, key, value);
    const QByteArray bytes = ini.ToBytes();
    // Removing a key that is not there creates no file and rewrites none.
    if (bytes != old)
        WriteWholeFileBytes(file, bytes);
}
