#pragma once

#include "record/JawMoves.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

/// Asks how a sound moves a jaw: the servo, its closed and open positions,
/// threshold, gain, attack, release and lines per second. Every change is
/// announced (the caller previews it); accepted, Settings is what was chosen.
class frmJawMoves final : public QDialog
{
    Q_OBJECT
public:
    /// `labels` names the 16 servos; positions are kept within low..high.
    frmJawMoves(const JawSettings &start, const QStringList &labels, int low, int high, QWidget *owner);

    JawSettings Settings() const;
    /// What the preview found (merged moves, a refusal); empty hides it.
    void SetNote(const QString &note);

    QComboBox *Servo() const { return m_servo; }
    QDialogButtonBox *Buttons() const { return m_buttons; }

Q_SIGNALS:
    void settingsChanged(const JawSettings &settings);

private:
    QComboBox *m_servo;
    QSpinBox *m_closed;
    QSpinBox *m_open;
    QSpinBox *m_threshold;
    QDoubleSpinBox *m_gain;
    QSpinBox *m_attack;
    QSpinBox *m_release;
    QSpinBox *m_rate;
    QLabel *m_note;
    QDialogButtonBox *m_buttons;
};
