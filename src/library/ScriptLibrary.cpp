#include "library/ScriptLibrary.h"

#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace ScriptLibrary {

namespace {
constexpr int kPathNotFound = 76;
const QString kExtension = QStringLiteral(".tqs");
} // namespace

QStringList ScriptFiles(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists() || !QFileInfo(folder).isReadable())
        throw AppError(kPathNotFound, QStringLiteral("Path not found"));
    // Without QDir::CaseSensitive the pattern takes ".TQS" as well, as the
    // scripts' first home did.
    return dir.entryList({QStringLiteral("*") + kExtension}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QStringList AvailableScripts(const QStringList &files, const QStringList &loaded)
{
    QStringList available;
    for (const QString &file : files) {
        if (!loaded.contains(file, Qt::CaseSensitive))
            available.append(file);
    }
    return available;
}

QString ScriptFileName(const QString &typed)
{
    return typed.endsWith(kExtension, Qt::CaseInsensitive) ? typed : typed + kExtension;
}

bool AcceptableScriptName(const QString &typed)
{
    return !typed.isEmpty() && typed != QStringLiteral(".") && typed != QStringLiteral("..") &&
           !typed.contains(QLatin1Char('/'));
}

bool ScriptExists(const QString &folder, const QString &name)
{
    return QFileInfo::exists(folder + QLatin1Char('/') + name);
}

QString OverwriteQuestion(const QString &name)
{
    // "alrwady" is how the question has always read.
    return QStringLiteral("The Script File ( ") + name +
           QStringLiteral(" ) alrwady exists.\r\nWould you like to overwrite it?");
}

void SaveScriptErrorReport(const QString &routineCode, const AppError &error)
{
    const QString text = QStringLiteral("Routine Code: ") + routineCode + QStringLiteral("\r\nError Number: ") +
                         QString::number(error.number()) + QStringLiteral("\r\nError Description: ") +
                         error.description();
    Services::messages().show({kErrorReportTitle, text, MsgButtons::Ok, MsgIcon::None});
}

} // namespace ScriptLibrary
