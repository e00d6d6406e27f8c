#include "library/ScriptCommands.h"

#include "app/DataPaths.h"
#include "app/ServoModel.h"
#include "library/ScriptLibrary.h"
#include "library/frmLoadScript.h"
#include "library/frmSaveScript.h"
#include "program/ProgramCommands.h"
#include "program/ScriptFolder.h"

#include <QAction>
#include <QListView>
#include <QMenu>

ScriptCommands::ScriptCommands(QMenu &scriptsMenu, QListView &loadedList, ServoModel &servos, ProgramCommands &commands,
                               QWidget *owner)
    : QObject(owner)
    , m_menu(scriptsMenu)
    , m_list(loadedList)
    , m_servos(servos)
    , m_commands(commands)
    , m_owner(owner)
{
    // The same menu opens from the bar and as the script list's popup.
    connect(&m_menu, &QMenu::aboutToShow, this,
            [this] { Reported(QStringLiteral("0041"), [this] { miScripts_Open(); }); });
    const auto on = [this](const char *name, const char *code, void (ScriptCommands::*handler)()) {
        connect(item(name), &QAction::triggered, this, [this, code, handler] {
            Reported(QString::fromLatin1(code), [this, handler] { (this->*handler)(); });
        });
    };
    on("miLoadScript", "0030", &ScriptCommands::miLoadScript_Click);
    on("miSaveAsScript", "0039", &ScriptCommands::miSaveAsScript_Click);
    on("miRemoveSelScript", "0035", &ScriptCommands::miRemoveSelScript_Click);
    connect(item("miRemoveAllScripts"), &QAction::triggered, this,
            [this] { Reported(QStringLiteral("0034"), [this] { m_servos.SetLoadedScripts({}); }); });
}

QAction *ScriptCommands::item(const char *name) const
{
    const QString wanted = QString::fromLatin1(name);
    for (QAction *action : m_menu.actions()) {
        if (action->objectName() == wanted)
            return action;
    }
    return nullptr;
}

void ScriptCommands::miScripts_Open()
{
    const bool selected = selectedRow() >= 0;
    item("miRemoveAllScripts")->setEnabled(!m_servos.LoadedScripts().isEmpty());
    item("miInsSelScript")->setEnabled(selected);
    item("miRemoveSelScript")->setEnabled(selected);
}

void ScriptCommands::miLoadScript_Click()
{
    // An unreadable Scripts folder is reported; the loaded scripts can still be put back.
    QStringList files;
    Reported(QStringLiteral("0099"), [&files] { files = ScriptFolder::Names(DataPaths::ScriptsFolder()); });
    frmLoadScript dialog(m_servos, files, m_owner);
    dialog.exec();
    if (m_list.model()->rowCount() > 0)
        m_list.setCurrentIndex(m_list.model()->index(0, 0));
}

void ScriptCommands::miSaveAsScript_Click()
{
    // Saving a script never changes the program's file, hence its title.
    const QString programPath = m_commands.CurrentProgramPath();
    const QString folder = DataPaths::ScriptsFolder();
    frmSaveScript dialog(
        folder,
        [this, &folder](const QString &name) {
            return ScriptLibrary::SaveScript(folder, name, [this](const QString &path) {
                m_commands.SetCurrentProgramPath(path);
                return m_commands.SaveProgram(true);
            });
        },
        m_owner);
    dialog.exec();
    m_commands.SetCurrentProgramPath(programPath);
}

int ScriptCommands::selectedRow() const
{
    // The current row stays when the user clears the selection; only a selected item counts.
    const QModelIndexList selected = m_list.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ScriptCommands::miRemoveSelScript_Click()
{
    const int row = selectedRow();
    QStringList names = m_servos.LoadedScripts();
    if (row < 0 || row >= names.size())
        return;
    names.removeAt(row);
    m_servos.SetLoadedScripts(names);
}
