#pragma once

#include <QString>
#include <QStringList>

/// What an open or save dialog is asked to show. The filter keeps the
/// "description|pattern|description|pattern" form the commands are written in.
struct FileDialogRequest
{
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;
    QString initialFolder;
    QString fileName;
    bool confirmOverwrite = true;
};

/// The one way any command asks the user for a file. Returns the chosen path,
/// or an empty string when the user cancelled.
class IFileDialogService
{
public:
    virtual ~IFileDialogService() = default;
    virtual QString choose(const FileDialogRequest &request) = 0;
};

/// "Programs (*.tqp)|*.tqp|All (*.*)|*.*" -> the name filters a Qt dialog takes.
QStringList ToQtNameFilters(const QString &pipeFilter);
