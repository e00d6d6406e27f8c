#pragma once

#include "mainwindow/edit/EditDialog.h"

class QLineEdit;

/// Enters the value of a Pause line, for Insert Pause and Edit Pause.
class frmEditPause final : public EditDialog
{
    Q_OBJECT
public:
    frmEditPause(const EditStart &start, QWidget *owner);

    QLineEdit *Text1() const { return m_text; }

    void Command1_Click() override;

private:
    void Load();

    QLineEdit *m_text;
};
