#include "library/ScriptLibrary.h"

#include "platform/MessageService.h"
#include "platform/Services.h"
#include "program/ScriptFolder.h"

#include <unistd.h>

namespace ScriptLibrary {

QStringList AvailableScripts(const QStringList &files, const QStringList &loaded)
{
    QStringList available;
    for (const QString &file : files) {
        if (!loaded.contains(file, Qt::CaseSensitive))
            available.append(file);
    }
    return available;
}

bool AcceptableScriptName(const QString &typed)
{
    return !typed.isEmpty() && typed != QStringLiteral(".") && typed != QStringLiteral("..") &&
           !typed.contains(QLatin1Char('/'));
}

QString OverwriteQuestion(const QString &name)
{
    // "alrwady" is how the question has always read.
    return QStringLiteral("The Script File ( ") + name +
           QStringLiteral(" ) alrwady exists.\r\nWould you like to overwrite it?");
}

bool SaveScript(const QString &folder, const QString &name, const std::function<bool(const QString &path)> &write)
{
    const QByteArray replaced = ScriptFolder::Find(folder, name);
    if (!write(folder + QLatin1Char('/') + name))
        return false;
    if (!replaced.isEmpty() && replaced != ScriptFolder::Exact(folder, name))
        ::unlink(replaced.constData());
    return true;
}

void SaveScriptErrorReport(const QString &routineCode, const AppError &error)
{
    const QString text = QStringLiteral("Routine Code: ") + routineCode + QStringLiteral("\r\nError Number: ") +
                         QString::number(error.number()) + QStringLiteral("\r\nError Description: ") +
                         error.description();
    Services::messages().show({kErrorReportTitle, text, MsgButtons::Ok, MsgIcon::None});
}

} // namespace ScriptLibrary
