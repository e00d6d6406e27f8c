#include "mainwindow/edit/frmEditPause.h"

#include "mainwindow/edit/InstructionValues.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QGroupBox>
#include <QLineEdit>

frmEditPause::frmEditPause(const EditStart &start, QWidget *owner)
    : EditDialog(start, owner, QStringLiteral("frmEditPause"), 2565, 1695)
{
    setWindowTitle(QStringLiteral("Edit Pause Instruction"));
    QGroupBox *frame = addFrame(QStringLiteral("Pause Value"), 120, 120, 2295, 855);
    m_text = new QLineEdit(frame);
    m_text->setObjectName(QStringLiteral("Text1"));
    place(m_text, 120, 360, 2055, 285);
    placeButtons(1320, 1200, 120, 1200);

    filterKeys(m_text, QStringLiteral("0123456789"));
    selectAllOnFocus(m_text);
    m_text->setFocus();
    Load();
}

void frmEditPause::Load()
{
    Reported(QStringLiteral("0113"), [&] {
        if (m_start.insert) {
            m_text->setText(QStringLiteral("0"));
        } else {
            const QString line = m_start.line;
            m_text->setText(line.mid(line.indexOf(QLatin1Char(' ')) + 1));
        }
    });
}

void frmEditPause::Command1_Click()
{
    Reported(QStringLiteral("0111"), [&] {
        // A pasted value can hold what the key filter keeps out.
        const QString value = m_text->text();
        if (!IsPauseValueValid(value)) {
            showError(QStringLiteral("The Pause Value is an invalid number."), m_text);
            return;
        }
        finish(QStringLiteral("Pause ") + value);
    });
}
