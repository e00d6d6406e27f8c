#include "mainwindow/grid/frmCustom.h"

#include "mainwindow/grid/GridValueEntry.h"
#include "platform/WindowFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmCustom::frmCustom(GridValueEntry &entry, QWidget *owner)
    : QDialog(owner)
    , m_entry(entry)
    , m_label(new QLabel(this))
    , m_text(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setWindowTitle(QStringLiteral("Custom Value..."));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setWordWrap(true);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setToolTip(QStringLiteral("Enter custom value here."));
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_cancel->setObjectName(QStringLiteral("Command2"));
    fitToFont();
    // Enter in the text box runs OK once; no button may take it as well.
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    connect(m_text, &QLineEdit::returnPressed, this, &frmCustom::Command1_Click);
    connect(m_ok, &QPushButton::clicked, this, &frmCustom::Command1_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmCustom::Command2_Click);
}

int frmCustom::twipsX(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int frmCustom::twipsY(int twips) const
{
    return qRound(twips * logicalDpiY() / 1440.0);
}

void frmCustom::fitToFont()
{
    // The designed twips are the least each control gets; a larger font, a
    // higher resolution or a longer prompt gets room for all of its text.
    const QFontMetrics fm = m_label->fontMetrics();
    int labelWidth = twipsX(1935);
    for (const QString &word : m_label->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        labelWidth = qMax(labelWidth, fm.horizontalAdvance(word) + 1);
    const int labelHeight = qMax(twipsY(375), m_label->heightForWidth(labelWidth));
    m_label->setGeometry(twipsX(158), twipsY(120), labelWidth, labelHeight);

    const int textLeft = twipsX(158) + labelWidth + twipsX(225);
    const int textWidth = qMax(twipsX(1215), m_text->minimumSizeHint().width());
    const int textHeight = qMax(twipsY(285), m_text->sizeHint().height());
    m_text->setGeometry(textLeft, twipsY(120), textWidth, textHeight);

    const QSize okHint = m_ok->sizeHint().expandedTo(m_cancel->sizeHint());
    const int buttonWidth = qMax(twipsX(1095), okHint.width());
    const int buttonHeight = qMax(twipsY(375), okHint.height());
    const int buttonTop = qMax(twipsY(720), twipsY(120) + qMax(labelHeight, textHeight) + twipsY(225));
    m_ok->setGeometry(twipsX(698), buttonTop, buttonWidth, buttonHeight);
    m_cancel->setGeometry(twipsX(698) + buttonWidth + twipsX(105), buttonTop, buttonWidth, buttonHeight);

    const int right = qMax(textLeft + textWidth, m_cancel->geometry().right() + 1);
    setFixedSize(qMax(twipsX(3690), right + twipsX(157)), qMax(twipsY(1200), buttonTop + buttonHeight + twipsY(105)));
    FixDialogSize(*this);
}

void frmCustom::Prepare(int row, const QString &prompt, const QString &value)
{
    m_tag = QString::number(row);
    m_label->setText(prompt);
    fitToFont();
    m_text->setText(value);
    m_text->selectAll();
    m_text->setFocus();
    m_finished = false;
}

void frmCustom::Place(const QRect &ownerFrame, int sidePanelTop)
{
    const int width = frameGeometry().width();
    move(ownerFrame.left() + ownerFrame.width() - width, ownerFrame.top() + sidePanelTop + twipsY(255));
}

void frmCustom::Command1_Click()
{
    if (m_finished)
        return;
    m_finished = true;
    m_entry.CustomOk(m_tag.toInt(), m_text->text());
    accept();
}

void frmCustom::Command2_Click()
{
    if (m_finished)
        return;
    m_finished = true;
    m_entry.CustomCancel(m_tag.toInt());
    QDialog::reject();
}

void frmCustom::reject()
{
    if (m_finished)
        QDialog::reject();
    else
        Command2_Click();
}
