#include "mainwindow/edit/frmScriptEdit.h"

#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/NamesView.h"
#include "program/InstructionSyntax.h"

#include <QGroupBox>
#include <QListView>
#include <QStringListModel>

frmScriptEdit::frmScriptEdit(const EditStart &start, QWidget *owner)
    : EditDialog(start, owner, QStringLiteral("frmScriptEdit"), 3780, 2700)
{
    QGroupBox *frame = addFrame(QStringLiteral("Available Scripts"), 120, 120, 2175, 2415);
    m_list = NamesView(frame);
    m_list->setObjectName(QStringLiteral("List1"));
    place(m_list, 120, 240, 1935, 2010);
    placeButtons(2520, 240, 2520, 720);

    filterKeys(m_list);
    m_list->setFocus();
    Load();
}

void frmScriptEdit::Load()
{
    Reported(QStringLiteral("0090"), [&] {
        setWindowTitle(m_start.insert ? QStringLiteral("Insert Script") : QStringLiteral("Edit Script Name"));
        ViewNames(*m_list).setStringList(m_start.scripts);
        m_list->clearSelection();
    });
}

void frmScriptEdit::Command1_Click()
{
    Reported(QStringLiteral("0088"), [&] {
        const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
        if (selected.isEmpty()) {
            showError(QStringLiteral("You must first select a Script."), m_list);
            return;
        }
        finish(QStringLiteral("Script ") + ScriptFileName(selected.first().data().toString()));
    });
}
