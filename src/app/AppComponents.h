#pragma once

#include <QString>
#include <QStringList>

/// The program listing as the rest of the program sees it (the Execution
/// Controller's list): reload it from the temporary file, read its items.
class IExecutionList
{
public:
    virtual ~IExecutionList() = default;
    /// Reloads the list from the temporary file.
    virtual void Update() = 0;
    virtual QStringList ListItems() const = 0;
};

/// The property grid as the file readers see it.
class IPropertyGrid
{
public:
    virtual ~IPropertyGrid() = default;
    /// Writes the eight properties of AppState into the grid's value cells.
    virtual void UpdateGridFromProperties() = 0;
    /// Applies the grid's value cells to AppState (and, once there is one, the link).
    virtual void UpdatePropertiesFromGrid() = 0;
};

/// What the main window does when a program has been saved: recent files, title.
class IProgramShell
{
public:
    virtual ~IProgramShell() = default;
    virtual void ProgramSaved(const QString &path) = 0;
};

/// The serial port as shutdown sees it.
class ILinkPort
{
public:
    virtual ~ILinkPort() = default;
    virtual bool PortOpen() const = 0;
    virtual void ClosePort() = 0;
};

/// The application-wide references to the parts that exist once. Entry points
/// fill them in; none is owned here.
struct AppComponents
{
    IExecutionList *execution = nullptr;
    IPropertyGrid *grid = nullptr;
    IProgramShell *shell = nullptr;
    ILinkPort *link = nullptr;
};

AppComponents &Components();
