#include "mainwindow/edit/frmEditMov.h"

#include "app/ProgramProperties.h"
#include "mainwindow/edit/InstructionValues.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

frmEditMov::frmEditMov(const EditStart &start, QWidget *owner)
    : EditDialog(start, owner, QStringLiteral("frmEditMov"), 3180, 1680)
{
    setWindowTitle(QStringLiteral("Edit Mov Instruction"));
    QGroupBox *number = addFrame(QStringLiteral("Servo Number"), 120, 120, 1455, 975);
    m_combo = new QComboBox(number);
    m_combo->setObjectName(QStringLiteral("Combo1"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    place(m_combo, 240, 360, 975);
    QGroupBox *value = addFrame(QStringLiteral("Servo Value"), 1680, 120, 1335, 975);
    m_text = new QLineEdit(value);
    m_text->setObjectName(QStringLiteral("Text1"));
    place(m_text, 240, 360, 855, 285);
    placeButtons(1920, 1200, 720, 1200);
    setTabOrder(m_combo, m_text);

    filterKeys(m_text, QStringLiteral("0123456789."));
    filterKeys(m_combo);
    filterKeys(m_combo->lineEdit());
    selectAllOnFocus(m_text);
    m_combo->setFocus();
    Load();
}

void frmEditMov::Load()
{
    Reported(QStringLiteral("0118"), [&] {
        for (int servo = 0; servo <= 15; ++servo)
            m_combo->addItem(QString::number(servo));
        if (m_start.insert) {
            m_combo->setCurrentIndex(0);
            m_text->setText(QStringLiteral("0"));
        } else {
            const MovFields fields = SplitMovLine(m_start.line);
            m_combo->setCurrentIndex(m_combo->findText(fields.servo));
            m_combo->setEditText(fields.servo);
            m_text->setText(fields.value);
        }
    });
}

void frmEditMov::Command1_Click()
{
    Reported(QStringLiteral("Command1_Click"), [&] {
        const ProgramProperties &properties = m_start.properties;
        const QString number = m_combo->currentText();
        const QString value = m_text->text();
        if (IsServoValueWrong(value, properties.ServoMin, properties.ServoMax)) {
            showError(QStringLiteral("There was an error in your Servo Value."), m_text);
            return;
        }
        if (IsServoNumberWrong(number)) {
            showError(QStringLiteral("There was an error in your Servo Number."), m_combo);
            return;
        }
        finish(QStringLiteral("Mov ") + number + QLatin1Char(',') + value);
    });
}
