#pragma once

#include "mainwindow/edit/EditDialog.h"

class QListView;

/// Chooses one of the loaded scripts for Insert Script and Edit Script.
class frmScriptEdit final : public EditDialog
{
    Q_OBJECT
public:
    frmScriptEdit(const EditStart &start, QWidget *owner);

    QListView *List1() const { return m_list; }

    void Command1_Click() override;

private:
    void Load();

    QListView *m_list; // the loaded scripts' names
};
