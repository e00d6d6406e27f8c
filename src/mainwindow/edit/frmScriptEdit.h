#pragma once

#include "mainwindow/edit/EditDialog.h"

class QListWidget;

/// Chooses one of the loaded scripts for Insert Script and Edit Script.
class frmScriptEdit final : public EditDialog
{
    Q_OBJECT
public:
    frmScriptEdit(const EditStart &start, QWidget *owner);

    QListWidget *List1() const { return m_list; }

    void Command1_Click() override;

private:
    void Load();

    QListWidget *m_list;
};
