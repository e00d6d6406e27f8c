#include "servos/ServoPanel.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>

namespace {

// The slider takes the keyboard; the style's focus mark on its handle is faint
// or missing in many themes, so the whole groove gets a frame.
class FocusSlider final : public QSlider
{
public:
    using QSlider::QSlider;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QSlider::paintEvent(event);
        if (!hasFocus())
            return;
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

// As wide as the style needs for the caption, padding and frame included, but
// without a least width some styles give every push button.
QSize fittedButtonSize(const QPushButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QSize text = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
    // Measured on a wide caption, where no least width applies.
    constexpr int kWide = 400;
    const QSize wide =
        button.style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(kWide, text.height()), &button);
    return {text.width() + wide.width() - kWide, button.sizeHint().height()};
}

} // namespace

ServoPanel::ServoPanel(int servo, QWidget *parent)
    : QGroupBox(parent)
    // Created in the order the keyboard visits them, as they stand: Center, slider, Log.
    , m_center(new QPushButton(QStringLiteral("Center"), this))
    , m_slider(new FocusSlider(Qt::Horizontal, this))
    , m_value(new QLabel(this))
    , m_log(new QPushButton(QStringLiteral("Log"), this))
{
    const QString index = QString::number(servo);
    setObjectName(QStringLiteral("fraServo") + index);
    m_slider->setObjectName(QStringLiteral("vscServo") + index);
    m_value->setObjectName(QStringLiteral("lblServoValue") + index);
    m_center->setObjectName(QStringLiteral("cmdCenter") + index);
    m_log->setObjectName(QStringLiteral("cmdLog") + index);
    setAccessibleName(QStringLiteral("Servo #") + index);
    m_slider->setAccessibleName(QStringLiteral("Servo #") + index + QStringLiteral(" position"));
    m_value->setAccessibleName(QStringLiteral("Servo #") + index + QStringLiteral(" value"));

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
    }
    fitButtons();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 2);
    row->setSpacing(4);
    row->addWidget(m_center);
    row->addWidget(m_slider, 1);
    row->addWidget(m_log);

    m_slider->installEventFilter(this);
    m_center->installEventFilter(this);
    m_log->installEventFilter(this);
}

bool ServoPanel::eventFilter(QObject *watched, QEvent *event)
{
    // A style sheet or font set later pads the captions differently.
    if ((watched == m_center || watched == m_log) &&
        (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)) {
        auto *button = static_cast<QPushButton *>(watched);
        button->setFixedSize(fittedButtonSize(*button));
    }
    if (watched == m_slider && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeValueLabel();
    if (watched == m_slider && event->type() == QEvent::Timer && pressLost()) {
        // A modal box (a lost board, say) took the button's release: end the
        // press, or a click on the track would step the slider to its end.
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(m_slider, &release);
    }
    return QGroupBox::eventFilter(watched, event);
}

bool ServoPanel::pressLost() const
{
    const QWidget *modal = QApplication::activeModalWidget();
    if (modal && !modal->isAncestorOf(m_slider))
        return true;
    return !(QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void ServoPanel::fitButtons()
{
    for (QPushButton *b : {m_center, m_log})
        b->setFixedSize(fittedButtonSize(*b));
}

void ServoPanel::resizeEvent(QResizeEvent *event)
{
    QGroupBox::resizeEvent(event);
    placeValueLabel();
    showCaption();
}

void ServoPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    showCaption();
}

QSize ServoPanel::minimumSizeHint() const
{
    // The controls decide the width, not the caption: a long label must not
    // take the room of the other column.
    return {QWidget::minimumSizeHint().width(), QGroupBox::minimumSizeHint().height()};
}

void ServoPanel::showCaption()
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const QRect title = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
    // The caption ends before the value label that shares its band.
    const int room = qMax(0, m_value->x() - title.left() - fontMetrics().horizontalAdvance(QLatin1Char(' ')));
    const QString shown = fontMetrics().elidedText(m_caption, Qt::ElideRight, room);
    // Nothing shown (an empty caption, or no room yet) still keeps the band, so
    // every row stays as high as the others.
    setTitle(shown.isEmpty() ? QStringLiteral(" ") : shown);
    setToolTip(shown == m_caption ? QString() : m_caption);
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
