#include "servos/ServoPanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

ServoPanel::ServoPanel(int servo, QWidget *parent)
    : QGroupBox(parent)
    , m_slider(new QSlider(Qt::Horizontal, this))
    , m_value(new QLabel(this))
    , m_center(new QPushButton(QStringLiteral("Center"), this))
    , m_log(new QPushButton(QStringLiteral("Log"), this))
{
    const QString index = QString::number(servo);
    setObjectName(QStringLiteral("fraServo") + index);
    m_slider->setObjectName(QStringLiteral("vscServo") + index);
    m_value->setObjectName(QStringLiteral("lblServoValue") + index);
    m_center->setObjectName(QStringLiteral("cmdCenter") + index);
    m_log->setObjectName(QStringLiteral("cmdLog") + index);

    // The caption is bold; the controls inside keep the window's normal font.
    QFont normal = font();
    normal.setBold(false);
    QFont bold = normal;
    bold.setBold(true);
    setFont(bold);
    for (QWidget *w : {static_cast<QWidget *>(m_slider), static_cast<QWidget *>(m_value),
                       static_cast<QWidget *>(m_center), static_cast<QWidget *>(m_log)})
        w->setFont(normal);

    // Until the window loads, the range of a fresh scroll bar, so that the
    // centre value can be set before the servo limits are.
    m_slider->setRange(0, 32767);
    m_slider->setSingleStep(1);
    m_slider->setPageStep(1);
    // Value changes arrive as a drag (sliderMoved) and once more when it ends
    // (valueChanged), as the board expects them.
    m_slider->setTracking(false);

    m_value->setAlignment(Qt::AlignCenter);
    m_value->setAutoFillBackground(true);

    for (QPushButton *b : {m_center, m_log}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::TabFocus);
        const QFontMetrics fm = b->fontMetrics();
        b->setFixedSize(fm.horizontalAdvance(b->text()) + 14, fm.height() + 6);
    }

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 2);
    row->setSpacing(4);
    row->addWidget(m_center);
    row->addWidget(m_slider, 1);
    row->addWidget(m_log);

    m_slider->installEventFilter(this);
}

bool ServoPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_slider && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeValueLabel();
    return QGroupBox::eventFilter(watched, event);
}

void ServoPanel::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    placeValueLabel();
}

void ServoPanel::placeValueLabel()
{
    const QFontMetrics fm = m_value->fontMetrics();
    const int w = fm.horizontalAdvance(QStringLiteral("00000")) + 6;
    const int h = qMax(fm.height(), contentsRect().top());
    const QRect s = m_slider->geometry();
    m_value->setGeometry(s.center().x() - w / 2, 0, w, h);
    m_value->raise();
}
