#include "mainwindow/grid/cboEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QWheelEvent>

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

void cboEdit::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex() >= 0) {
        event->accept();
        emit activated(currentIndex());
        return;
    }
    // The closed list would report every entry it passes as chosen.
    const QSignalBlocker quiet(this);
    QComboBox::keyPressEvent(event);
}

void cboEdit::wheelEvent(QWheelEvent *event)
{
    const QSignalBlocker quiet(this);
    QComboBox::wheelEvent(event);
}
