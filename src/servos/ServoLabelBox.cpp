#include "servos/ServoLabelBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

ServoLabelBox::ServoLabelBox(int servo, QWidget *parent)
    : QWidget(parent)
    , m_text(new QLineEdit(this))
    , m_check(new QCheckBox(this))
{
    const QString index = QString::number(servo);
    setObjectName(QStringLiteral("LabelBox") + index);
    m_text->setObjectName(QStringLiteral("Text1_") + index);
    m_check->setObjectName(QStringLiteral("Check1_") + index);
    m_check->setAutoFillBackground(true);
    m_text->installEventFilter(this);
    connect(m_check, &QCheckBox::toggled, this, &ServoLabelBox::ApplyCheck);
    setFocusProxy(m_text);
}

void ServoLabelBox::ApplyCheck()
{
    const bool enabled = m_check->isChecked();
    m_text->setEnabled(enabled);
    const QColor back =
        enabled ? palette().color(QPalette::Active, QPalette::Base) : palette().color(QPalette::Active, QPalette::Dark);
    QPalette textPalette = m_text->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        textPalette.setColor(group, QPalette::Base, back);
    m_text->setPalette(textPalette);
    QPalette checkPalette = m_check->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        checkPalette.setColor(group, QPalette::Window, back);
    m_check->setPalette(checkPalette);
}

QSize ServoLabelBox::sizeHint() const
{
    return m_text->sizeHint();
}

QSize ServoLabelBox::minimumSizeHint() const
{
    return m_text->minimumSizeHint();
}

void ServoLabelBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_text->setGeometry(rect());
    placeCheck();
}

void ServoLabelBox::placeCheck()
{
    const QSize box = m_check->sizeHint();
    const int top = qMax(3, (height() - box.height()) / 2);
    m_check->setGeometry(3, top, box.width(), qMin(box.height(), height() - top - 2));
    // The text starts after the check box.
    m_text->setTextMargins(box.width() + 2, 0, 0, 0);
    m_check->raise();
}

bool ServoLabelBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_text, &QLineEdit::selectAll);
    return QWidget::eventFilter(watched, event);
}

void ServoLabelBox::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The box's colours are the palette's: a new palette (a dark theme) brings new ones.
    if (event->type() == QEvent::PaletteChange)
        ApplyCheck();
}
