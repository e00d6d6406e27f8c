#pragma once

#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QString>
#include <QStringList>

#include <functional>

/// The script files the user loads for inserting and saves the listing as:
/// the "*.tqs" files of the Scripts folder, named without folder.
namespace ScriptLibrary {

/// Of `files`, in order, those no loaded script names exactly.
QStringList AvailableScripts(const QStringList &files, const QStringList &loaded);

/// False for a typed name that is empty, "." or "..", or holds "/": the script
/// would not become a file of the Scripts folder.
bool AcceptableScriptName(const QString &typed);

/// The question asked before a script replaces a file of the same name.
QString OverwriteQuestion(const QString &name);

/// Writes the script `name` of `folder` through `write`, handed its path, which says
/// whether it wrote it (a failure reported). A file of the same script spelt
/// otherwise (letter case, Latin-1 bytes), which the dialog asked before
/// replacing, goes once the new one is written, so that one remains.
bool SaveScript(const QString &folder, const QString &name, const std::function<bool(const QString &path)> &write);

/// The report of the script-saving dialog's handlers, whose second line has
/// always read "Error Number: " where every other report reads "Error Numer: ".
void SaveScriptErrorReport(const QString &routineCode, const AppError &error);

/// Reported, for the handlers of the script-saving dialog.
template <typename F> void SaveScriptReported(const QString &routineCode, F &&handler)
{
    try {
        handler();
    } catch (const AppError &e) {
        SaveScriptErrorReport(routineCode, e);
    }
}

} // namespace ScriptLibrary
