#pragma once

#include <QDialog>

class ProgramPropertyStore;
class QComboBox;
class QLineEdit;
class QPushButton;

/// The Smart Rating Calculator: computes a rating from the servo's speed and
/// rotation range, offers it and writes the Smart Rating. Calculate and
/// Cancel both end the edit; closing the window counts as Cancel, so the grid
/// never keeps showing "Wizard...".
class frmSmart : public QDialog
{
    Q_OBJECT
public:
    /// `valueBefore`: the Smart Rating before the edit, kept when no rating is accepted.
    frmSmart(ProgramPropertyStore &properties, const QString &valueBefore, QWidget *owner = nullptr);

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
    ProgramPropertyStore &m_properties;
    QString m_valueBefore;
    bool m_finished = false;
    QLineEdit *m_seconds;
    QComboBox *m_per;
    QComboBox *m_range;
    QPushButton *m_calculate;
    QPushButton *m_cancel;
};
