#include "mainwindow/EditCommands.h"

#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/frmExecution.h"
#include "mainwindow/EditMenu.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/edit/frmEditMov.h"
#include "mainwindow/edit/frmEditPause.h"
#include "mainwindow/edit/frmScriptEdit.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramListing.h"
#include "servos/frmServoControl.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QPushButton>

EditCommands::EditCommands(MainActions &actions, ProgramListing &listing, frmExecution &window,
                           frmServoControl &servoControl, const ServoModel &servos,
                           const ProgramPropertyStore &properties, QWidget &owner)
    : QObject(&owner)
    , m_actions(actions)
    , m_listing(listing)
    , m_window(window)
    , m_servoControl(servoControl)
    , m_servos(servos)
    , m_properties(properties)
    , m_owner(owner)
{
    connect(&m_window, &frmExecution::listRightClicked, this, &EditCommands::ShowPopup);
    m_window.List1()->installEventFilter(this);
    connectItems();
    new EditMenu(actions, listing, this);
}

void EditCommands::connectItems()
{
    const auto on = [this](const char *name, auto handler) {
        connect(m_actions.Item(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("miInsertMov", [this] { showDialog<frmEditMov>("0025", true, "Mov"); });
    on("miEditMovInstruction", [this] { showDialog<frmEditMov>("0017", false, "Mov"); });
    on("miInsPause", [this] { showDialog<frmEditPause>("0026", true, "Pause"); });
    on("miEditPauseInstruction", [this] { showDialog<frmEditPause>("0018", false, "Pause"); });
    on("miInsertScript", [this] { showDialog<frmScriptEdit>("0027", true, "Script"); });
    on("miEditScriptInstruction", [this] { showDialog<frmScriptEdit>("0019", false, "Script"); });
    on("miInsertWav", [this] { chooseWav(true); });
    on("miEditWAV", [this] { chooseWav(false); });
    on("miDeleteInstruction", [this] {
        Reported(QStringLiteral("0016"), [&] { m_listing.RemoveLines({target()}, QStringLiteral("Delete")); });
    });
    // Exactly the Servo Controller's own Insert button, message included.
    on("miInsSelScript", [this] { m_servoControl.cmdInsertScript()->click(); });
}

void EditCommands::ShowPopup(int line, const QPoint &globalPos)
{
    if (QMenu *popup = preparePopup(line))
        popup->popup(globalPos);
}

QMenu *EditCommands::preparePopup(int line)
{
    const QStringList items = m_listing.Items();
    if (line < 0 || line >= items.size() || items.at(line).isEmpty())
        return nullptr;
    // Only the line's own edit item: another one would rewrite it as another kind.
    const InstructionKind kind = ParseInstruction(items.at(line)).kind;
    const auto show = [this](const char *name, bool visible) {
        m_actions.Item(QString::fromLatin1(name))->setVisible(visible);
    };
    show("miEditMovInstruction", kind == InstructionKind::Mov);
    show("miEditPauseInstruction", kind == InstructionKind::Pause);
    show("miEditScriptInstruction", kind == InstructionKind::Script);
    show("miEditWAV", kind == InstructionKind::Wav);
    m_actions.Item(QStringLiteral("miGenerateMoves"))->setEnabled(kind == InstructionKind::Wav);
    show("miDeleteInstruction", true);
    show("miLN6", true);
    // Inserting needs a selected line to insert at.
    m_actions.Item(QStringLiteral("miInsert"))->setEnabled(m_listing.Selection().hasSelection());
    QMenu *popup = m_actions.ExecEditMenu();
    popup->setProperty("Tag", QString::number(line));
    return popup;
}

bool EditCommands::popupAtCurrentLine(bool insertOnly)
{
    QMenu *popup = preparePopup(m_listing.SelectedLine());
    if (!popup)
        return false;
    QAction *insert = m_actions.Item(QStringLiteral("miInsert"));
    if (insertOnly && !insert->isEnabled())
        return false;
    QListView *list = m_window.List1();
    const QRect line = list->visualRect(m_listing.index(m_listing.SelectedLine()));
    const QPoint at = list->viewport()->mapToGlobal(line.bottomLeft());
    (insertOnly ? insert->menu() : popup)->popup(at);
    return true;
}

bool EditCommands::eventFilter(QObject *watched, QEvent *event)
{
    // The keyboard's ways to the popup, as a right click at the current line.
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeyCombination k = key->keyCombination();
        if (k == QKeyCombination(Qt::Key_Menu) || k == (Qt::SHIFT | Qt::Key_F10))
            return popupAtCurrentLine(false) || QObject::eventFilter(watched, event);
        if (k == QKeyCombination(Qt::Key_Insert))
            return popupAtCurrentLine(true) || QObject::eventFilter(watched, event);
    } else if (event->type() == QEvent::ContextMenu &&
               static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        popupAtCurrentLine(false);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

int EditCommands::target() const
{
    const std::optional<qint32> index = WholeNumber32(m_actions.ExecEditMenu()->property("Tag").toString());
    if (!index || *index < 0)
        throw AppError::invalidArgument();
    return *index;
}

QString EditCommands::targetLine() const
{
    const QStringList items = m_listing.Items();
    const int i = target();
    if (i >= items.size())
        throw AppError::invalidArgument();
    return items.at(i);
}

void EditCommands::place(const QString &line, bool insert, const QString &kind)
{
    if (insert)
        m_listing.InsertLines(target(), {line}, QStringLiteral("Insert ") + kind);
    else
        m_listing.ReplaceLine(target(), line, QStringLiteral("Edit ") + kind);
}

template <typename Dialog> void EditCommands::showDialog(const char *routine, bool insert, const char *kind)
{
    Reported(QString::fromLatin1(routine), [&] {
        m_insertMode = insert;
        const EditStart start{insert, insert ? QString() : targetLine(), m_properties.Properties(),
                              m_servos.LoadedScripts()};
        Dialog dialog(start, &m_owner);
        if (dialog.exec() == QDialog::Accepted)
            place(dialog.Line(), insert, QString::fromLatin1(kind));
    });
    m_insertMode = false;
}

void EditCommands::chooseWav(bool insert)
{
    Reported(insert ? QStringLiteral("miInsertWav_Click") : QStringLiteral("miEditWAV_Click"), [&] {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Open;
        request.title = QStringLiteral("Edit WAV...");
        request.filter = QStringLiteral("WAV Files    *.wav|*.wav");
        // The path after "WAV ".
        request.fileName = insert ? QString() : targetLine().mid(4);
        const QString chosen = Services::fileDialogs().choose(request);
        if (chosen.isEmpty())
            return;
        place(QStringLiteral("WAV ") + chosen, insert, QStringLiteral("WAV"));
    });
}
