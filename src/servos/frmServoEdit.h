#pragma once

#include "app/ServoModel.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class ServoLabelBox;

/// "Edit Servo Labels": names each servo and switches it on or off. Reads the
/// servos' labels and states when it opens and writes them back on OK;
/// Cancel changes nothing.
class frmServoEdit : public QDialog
{
    Q_OBJECT
public:
    explicit frmServoEdit(ServoModel &servos, QWidget *parent = nullptr);

    QLineEdit *Text1(int servo) const;
    QCheckBox *Check1(int servo) const;
    QPushButton *Command1() const { return m_ok; }
    QPushButton *Command2() const { return m_cancel; }

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    ServoModel &m_servos;
    std::array<ServoLabelBox *, kServoCount> m_boxes{};
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
