#include "mainwindow/edit/EditDialog.h"

#include "platform/MessageService.h"
#include "platform/WindowFrame.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

EditDialog::EditDialog(const EditStart &start, QWidget *owner, const QString &name, int widthTwips, int heightTwips)
    : QDialog(owner)
    , m_start(start)
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(name);
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_cancel->setObjectName(QStringLiteral("Command2"));
    connect(m_ok, &QPushButton::clicked, this, &EditDialog::Command1_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(twipsX(widthTwips), twipsY(heightTwips));
}

int EditDialog::twipsX(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int EditDialog::twipsY(int twips) const
{
    return qRound(twips * logicalDpiY() / 1440.0);
}

void EditDialog::place(QWidget *widget, int left, int top, int width, int height)
{
    // A control is never lower than its font needs.
    widget->setGeometry(twipsX(left), twipsY(top), twipsX(width),
                        qMax(twipsY(height), widget->minimumSizeHint().height()));
}

QGroupBox *EditDialog::addFrame(const QString &caption, int left, int top, int width, int height)
{
    auto *frame = new QGroupBox(caption, this);
    frame->setGeometry(twipsX(left), twipsY(top), twipsX(width), twipsY(height));
    return frame;
}

void EditDialog::placeButtons(int okLeft, int okTop, int cancelLeft, int cancelTop)
{
    place(m_ok, okLeft, okTop, 1095, 375);
    place(m_cancel, cancelLeft, cancelTop, 1095, 375);
}

void EditDialog::filterKeys(QWidget *field, const QString &accepted)
{
    m_accepted.insert(field, accepted);
    field->installEventFilter(this);
}

void EditDialog::selectAllOnFocus(QWidget *field)
{
    m_selectsAll = field;
    field->installEventFilter(this);
}

void EditDialog::showError(const QString &text, QWidget *field)
{
    // The answer does not matter: the dialog stays open either way.
    ShowUserMessage(text, MsgButtons::OkCancel, MsgIcon::Critical);
    field->setFocus();
}

bool EditDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == m_selectsAll) {
        // After the click that gave the focus has placed the cursor.
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress && m_accepted.contains(watched)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Command1_Click();
            return true;
        }
        const QString accepted = m_accepted.value(watched);
        const QString text = key->text();
        // Editing keys (Backspace, arrows, shortcuts) type no character of their own.
        if (accepted.isNull() || text.isEmpty() || !text.at(0).isPrint())
            return false;
        for (const QChar c : text) {
            if (!accepted.contains(c))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditDialog::showEvent(QShowEvent *event)
{
    // The caption is each dialog's own, set after this base is built.
    FixDialogSize(*this);
    QDialog::showEvent(event);
}

void EditDialog::finish(const QString &line)
{
    m_line = line;
    accept();
}
