#pragma once

#include <QObject>
#include <QPoint>

class MainActions;
class ProgramListing;
class frmExecution;

/// The commands that change the listing at a line of the Execution
/// Controller: the list's popup menu and, with them, the edit dialogs.
class EditCommands final : public QObject
{
    Q_OBJECT
public:
    EditCommands(MainActions &actions, ProgramListing &listing, frmExecution &window, QObject *parent = nullptr);

    /// The popup for line `line`: the edit item that fits the line, Tag = the line.
    void ShowPopup(int line, const QPoint &globalPos);

private:
    MainActions &m_actions;
    ProgramListing &m_listing;
    frmExecution &m_window;
};
