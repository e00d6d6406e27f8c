#pragma once

#include <QObject>

class QAction;
class QListView;
class QMenu;
class QWidget;
class ProgramCommands;
class ServoModel;

/// The Scripts menu: which items it enables as it opens, Load Script(s) and
/// Save As Script with their dialogs, and the two Remove commands. The menu's
/// items are found by their names (miLoadScript, ...); `loadedList` is the
/// Servo Controller's list of the loaded scripts, whose selection the
/// Remove Selected command acts on.
class ScriptCommands final : public QObject
{
    Q_OBJECT
public:
    ScriptCommands(QMenu &scriptsMenu, QListView &loadedList, ServoModel &servos, ProgramCommands &commands,
                   QWidget *owner);

private:
    QAction *item(const char *name) const;
    int selectedRow() const;
    void miScripts_Open();
    void miLoadScript_Click();
    void miSaveAsScript_Click();
    void miRemoveSelScript_Click();

    QMenu &m_menu;
    QListView &m_list;
    ServoModel &m_servos;
    ProgramCommands &m_commands;
    QWidget *m_owner;
};
