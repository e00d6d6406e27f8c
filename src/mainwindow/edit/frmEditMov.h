#pragma once

#include "mainwindow/edit/EditDialog.h"

class QComboBox;
class QLineEdit;

/// Enters the servo number and value of a Mov line, for Insert Mov (empty
/// defaults) and Edit Mov (the target line's values).
class frmEditMov final : public EditDialog
{
    Q_OBJECT
public:
    frmEditMov(const EditStart &start, QWidget *owner);

    QComboBox *Combo1() const { return m_combo; }
    QLineEdit *Text1() const { return m_text; }

    void Command1_Click() override;

private:
    void Load();

    QComboBox *m_combo;
    QLineEdit *m_text;
};
