#include "mainwindow/EditCommands.h"

#include "execution/frmExecution.h"
#include "mainwindow/MainActions.h"
#include "program/ProgramListing.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>

EditCommands::EditCommands(MainActions &actions, ProgramListing &listing, frmExecution &window, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_listing(listing)
    , m_window(window)
{
    connect(&m_window, &frmExecution::listRightClicked, this, &EditCommands::ShowPopup);
}

void EditCommands::ShowPopup(int line, const QPoint &globalPos)
{
    const QStringList items = m_listing.Items();
    if (line < 0 || line >= items.size())
        return;
    using Kind = ProgramListing::EditItem;
    const Kind kind = ProgramListing::EditItemFor(items.at(line));
    if (kind != Kind::Unchanged) {
        const auto show = [this](const char *name, bool visible) {
            m_actions.Item(QString::fromLatin1(name))->setVisible(visible);
        };
        show("miEditMovInstruction", kind == Kind::Mov);
        show("miEditPauseInstruction", kind == Kind::Pause);
        show("miEditScriptInstruction", kind == Kind::Script);
        show("miEditWAV", kind == Kind::Wav);
        show("miDeleteInstruction", true);
        show("miLN6", true);
    }
    // Inserting needs a selected line to insert at.
    m_actions.Item(QStringLiteral("miInsert"))->setEnabled(!m_window.List1()->selectedItems().isEmpty());
    QMenu *popup = m_actions.ExecEditMenu();
    popup->setProperty("Tag", QString::number(line));
    popup->popup(globalPos);
}
