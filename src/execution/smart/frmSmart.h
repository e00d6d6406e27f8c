#pragma once

#include <QDialog>

class IPropertyGrid;
class PropertyGridModel;
class QComboBox;
class QLineEdit;
class QPushButton;

/// The Smart Rating Calculator: computes a rating from the servo's speed and
/// rotation range, offers it, writes the grid's Smart Rating cell and applies
/// the grid. Calculate and Cancel both end the edit; closing the window counts
/// as Cancel, so the cell never keeps "Wizard...".
class frmSmart : public QDialog
{
    Q_OBJECT
public:
    frmSmart(PropertyGridModel &cells, IPropertyGrid &applier, QWidget *owner = nullptr);

    QLineEdit *Text1() const { return m_seconds; }
    QComboBox *Combo1() const { return m_per; }
    QComboBox *Combo2() const { return m_range; }
    QPushButton *Command1() const { return m_cancel; }
    QPushButton *Command2() const { return m_calculate; }

    /// Calculate: on a failure the window stays open with its entries.
    void Command2_Click();
    /// Cancel.
    void Command1_Click();

public Q_SLOTS:
    void reject() override;

private:
    PropertyGridModel &m_cells;
    IPropertyGrid &m_applier;
    bool m_finished = false;
    QLineEdit *m_seconds;
    QComboBox *m_per;
    QComboBox *m_range;
    QPushButton *m_calculate;
    QPushButton *m_cancel;
};
