#include "mainwindow/EditMenu.h"

#include "mainwindow/MainActions.h"
#include "platform/ErrorReport.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace {

QString withWhat(const char *caption, const QString &what)
{
    return what.isEmpty() ? QString::fromLatin1(caption) : QString::fromLatin1(caption) + QLatin1Char(' ') + what;
}

} // namespace

EditMenu::EditMenu(MainActions &actions, ProgramListing &listing, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_listing(listing)
{
    const auto on = [this](const char *name, auto handler) { connect(item(name), &QAction::triggered, this, handler); };
    on("miUndo", [this] { m_listing.Undo(); });
    on("miRedo", [this] { m_listing.Redo(); });
    on("miCut", &EditMenu::cut);
    on("miCopy", &EditMenu::copy);
    on("miPaste", &EditMenu::paste);
    on("miDelete", [this] {
        Reported(QStringLiteral("miDelete_Click"),
                 [&] { m_listing.RemoveLines(m_listing.SelectedRows(), QStringLiteral("Delete")); });
    });
    on("miSelectAll", &EditMenu::selectAll);
    on("miMoveUp", [this] {
        Reported(QStringLiteral("miMoveUp_Click"),
                 [&] { m_listing.MoveLinesBy(m_listing.SelectedRows(), -1, QStringLiteral("Move Up")); });
    });
    on("miMoveDown", [this] {
        Reported(QStringLiteral("miMoveDown_Click"),
                 [&] { m_listing.MoveLinesBy(m_listing.SelectedRows(), 1, QStringLiteral("Move Down")); });
    });

    connect(&m_listing, &ProgramListing::historyChanged, this, &EditMenu::refresh);
    connect(&m_listing, &ProgramListing::listChanged, this, &EditMenu::refresh);
    connect(&m_listing, &QAbstractItemModel::modelReset, this, &EditMenu::refresh);
    connect(&m_listing.Selection(), &QItemSelectionModel::selectionChanged, this, &EditMenu::refresh);
    connect(&m_listing.Selection(), &QItemSelectionModel::currentChanged, this, &EditMenu::refresh);
    connect(item("miExecution"), &QAction::toggled, this, &EditMenu::refresh);
    connect(&m_actions, &MainActions::lockedChanged, this, &EditMenu::refresh);
    refresh();
}

QAction *EditMenu::item(const char *name) const
{
    return m_actions.Item(QString::fromLatin1(name));
}

void EditMenu::refresh()
{
    const bool unlocked = !m_actions.Locked();
    QAction *undo = item("miUndo");
    undo->setText(withWhat("&Undo", m_listing.UndoText()));
    undo->setEnabled(unlocked && m_listing.CanUndo());
    QAction *redo = item("miRedo");
    redo->setText(withWhat("&Redo", m_listing.RedoText()));
    redo->setEnabled(unlocked && m_listing.CanRedo());

    const bool list = unlocked && item("miExecution")->isChecked();
    const QList<int> rows = m_listing.SelectedRows();
    const int count = m_listing.rowCount();
    for (const char *name : {"miCut", "miCopy", "miDelete"})
        item(name)->setEnabled(list && !rows.isEmpty());
    item("miPaste")->setEnabled(list);
    item("miSelectAll")->setEnabled(list && count > 0);
    item("miMoveUp")->setEnabled(list && !rows.isEmpty() && rows.first() > 0);
    item("miMoveDown")->setEnabled(list && !rows.isEmpty() && rows.last() < count - 1);
}

void EditMenu::copy()
{
    QStringList lines;
    for (const int row : m_listing.SelectedRows())
        lines << m_listing.Items().value(row);
    QGuiApplication::clipboard()->setText(ClipboardText(lines));
}

void EditMenu::cut()
{
    Reported(QStringLiteral("miCut_Click"), [&] {
        const QList<int> rows = m_listing.SelectedRows();
        QStringList lines;
        for (const int row : rows)
            lines << m_listing.Items().value(row);
        m_listing.RemoveLines(rows, QStringLiteral("Cut"));
        // Only lines that left the listing; a failed cut keeps the clipboard.
        QGuiApplication::clipboard()->setText(ClipboardText(lines));
    });
}

void EditMenu::paste()
{
    const int line = m_listing.SelectedLine();
    m_listing.InsertText(line < 0 ? m_listing.rowCount() : line, QGuiApplication::clipboard()->text(),
                         QStringLiteral("Paste"), QStringLiteral("miPaste_Click"));
}

void EditMenu::selectAll()
{
    const int count = m_listing.rowCount();
    if (count == 0)
        return;
    QItemSelectionModel &selection = m_listing.Selection();
    if (!selection.currentIndex().isValid())
        selection.setCurrentIndex(m_listing.index(0), QItemSelectionModel::NoUpdate);
    selection.select(QItemSelection(m_listing.index(0), m_listing.index(count - 1)), QItemSelectionModel::Select);
}
