#include "mainwindow/grid/cboEdit.h"

#include <QFocusEvent>

cboEdit::cboEdit(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    setFrame(false);
    setFocusPolicy(Qt::StrongFocus);
}

void cboEdit::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Opening the list moves the focus to its popup; the chooser is still in use.
    if (event->reason() != Qt::PopupFocusReason)
        emit FocusLost();
}
