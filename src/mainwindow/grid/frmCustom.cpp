#include "mainwindow/grid/frmCustom.h"

#include "mainwindow/grid/GridValueEntry.h"

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
    setFixedSize(twipsX(3690), twipsY(1200));
    m_label->setObjectName(QStringLiteral("Label1"));
    m_label->setWordWrap(true);
    m_label->setGeometry(twipsX(158), twipsY(120), twipsX(1935), twipsY(375));
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setToolTip(QStringLiteral("Enter custom value here."));
    m_text->setGeometry(twipsX(2318), twipsY(120), twipsX(1215), twipsY(285));
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setGeometry(twipsX(698), twipsY(720), twipsX(1095), twipsY(375));
    m_cancel->setObjectName(QStringLiteral("Command2"));
    m_cancel->setGeometry(twipsX(1898), twipsY(720), twipsX(1095), twipsY(375));
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

void frmCustom::Prepare(int row, const QString &prompt, const QString &value)
{
    m_tag = QString::number(row);
    m_label->setText(prompt);
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
