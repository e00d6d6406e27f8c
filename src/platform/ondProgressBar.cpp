#include "platform/ondProgressBar.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace {

const QString kSmooth = QStringLiteral("Smooth");
const QString kPosition = QStringLiteral("Position");
const QString kOrientation = QStringLiteral("Orientation");
const QString kMin = QStringLiteral("Min");
const QString kMax = QStringLiteral("Max");
const QString kBackColor = QStringLiteral("BackColor");
const QString kBarColor = QStringLiteral("BarColor");
const QString kStep = QStringLiteral("Step");
const QString kBorderstyle = QStringLiteral("Borderstyle");

// A native bar clamps positions to its range; the control keeps what was set.
qint32 clampToRange(const ondProgressBar::NativeBar &b, qint32 position)
{
    return qBound(qMin(b.min, b.max), position, qMax(b.min, b.max));
}

} // namespace

ondProgressBar::ondProgressBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ondProgressBar"));
}

QColor ondProgressBar::DefaultBackColor()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor ondProgressBar::DefaultBarColor()
{
    return QApplication::palette().color(QPalette::Highlight);
}

template <typename F> void ondProgressBar::forward(F &&change)
{
    if (!m_native)
        return;
    change(*m_native);
    ++m_nativeUpdates;
    update();
}

void ondProgressBar::forwardPosition()
{
    forward([this](NativeBar &b) { b.position = clampToRange(b, m_position); });
}

void ondProgressBar::forwardRange()
{
    forward([this](NativeBar &b) {
        b.min = m_min;
        b.max = m_max;
        b.position = clampToRange(b, m_position);
    });
}

void ondProgressBar::createNativeBar()
{
    // A bar that already exists is thrown away first.
    m_native.reset();
    NativeBar bar;
    bar.vertical = m_orientation == 1;
    bar.smooth = m_smooth;
    m_native = bar;
    ++m_nativeCreations;
    ++m_nativeUpdates;
    // The range goes with the bar from the start, so that the bar never shows
    // another range than the control's.
    forwardRange();
    forwardPosition();
    forward([this](NativeBar &b) { b.edge = m_borderstyle; });
}

void ondProgressBar::recreateNativeBar()
{
    if (!m_native)
        return;
    createNativeBar();
    forward([this](NativeBar &b) { b.backColor = m_backColor; });
    forward([this](NativeBar &b) { b.barColor = m_barColor; });
    forward([this](NativeBar &b) { b.step = m_step; });
}

void ondProgressBar::SetSmooth(bool smooth)
{
    changed();
    if (smooth == m_smooth)
        return;
    m_smooth = smooth;
    recreateNativeBar();
}

void ondProgressBar::SetPosition(qint32 position)
{
    changed();
    if (position == m_position)
        return;
    m_position = position;
    forwardPosition();
}

void ondProgressBar::SetOrientation(qint32 orientation)
{
    changed();
    if (orientation == m_orientation)
        return;
    m_orientation = orientation;
    recreateNativeBar();
}

void ondProgressBar::SetMin(qint32 min)
{
    changed();
    if (min == m_min)
        return;
    m_min = min;
    forwardRange();
}

void ondProgressBar::SetMax(qint32 max)
{
    changed();
    if (max == m_max)
        return;
    m_max = max;
    forwardRange();
}

void ondProgressBar::SetBackColor(const QColor &color)
{
    changed();
    if (color == m_backColor)
        return;
    m_backColor = color;
    forward([this](NativeBar &b) { b.backColor = m_backColor; });
}

void ondProgressBar::SetBarColor(const QColor &color)
{
    changed();
    if (color == m_barColor)
        return;
    m_barColor = color;
    forward([this](NativeBar &b) { b.barColor = m_barColor; });
}

void ondProgressBar::SetStep(qint32 step)
{
    changed();
    if (step == m_step)
        return;
    m_step = step;
    forward([this](NativeBar &b) { b.step = m_step; });
}

void ondProgressBar::SetBorderstyle(qint32 style)
{
    changed();
    if (style == m_borderstyle)
        return;
    m_borderstyle = style;
    forward([this](NativeBar &b) { b.edge = m_borderstyle; });
}

void ondProgressBar::StepIt()
{
    IncrementIt(m_step);
}

void ondProgressBar::IncrementIt(qint32 lInc)
{
    if (!m_native)
        return;
    m_position += lInc;
    forwardPosition();
}

void ondProgressBar::InitProperties()
{
    SetBorderstyle(1);
    SetBackColor(DefaultBackColor());
    SetBarColor(DefaultBarColor());
    if (!m_native)
        createNativeBar();
}

void ondProgressBar::WriteProperties(QVariantMap &bag) const
{
    const auto put = [&bag](const QString &name, const QVariant &value, const QVariant &def) {
        if (value != def)
            bag.insert(name, value);
    };
    put(kSmooth, m_smooth, false);
    put(kPosition, m_position, 0);
    put(kOrientation, m_orientation, 0);
    put(kMin, m_min, 0);
    put(kMax, m_max, 100);
    put(kBackColor, m_backColor, DefaultBackColor());
    put(kBarColor, m_barColor, DefaultBarColor());
    put(kStep, m_step, 10);
    put(kBorderstyle, m_borderstyle, 1);
}

void ondProgressBar::ReadProperties(const QVariantMap &bag)
{
    createNativeBar();
    SetSmooth(bag.value(kSmooth, false).toBool());
    SetPosition(bag.value(kPosition, 0).toInt());
    SetOrientation(bag.value(kOrientation, 0).toInt());
    SetMin(bag.value(kMin, 0).toInt());
    SetMax(bag.value(kMax, 100).toInt());
    SetBackColor(bag.value(kBackColor, DefaultBackColor()).value<QColor>());
    SetBarColor(bag.value(kBarColor, DefaultBarColor()).value<QColor>());
    SetStep(bag.value(kStep, 10).toInt());
    SetBorderstyle(bag.value(kBorderstyle, 1).toInt());
    m_changed = false;
}

void ondProgressBar::paintEvent(QPaintEvent *)
{
    if (!m_native)
        return;
    const NativeBar &b = *m_native;
    QPainter p(this);
    QRect r = rect();
    const int edge = b.edge == 2 ? 2 : 1;
    p.fillRect(r, b.backColor.isValid() ? b.backColor : DefaultBackColor());
    if (b.edge == 0)
        qDrawShadePanel(&p, r, palette(), false, 1);
    else
        qDrawShadePanel(&p, r, palette(), true, edge);
    r.adjust(edge + 1, edge + 1, -edge - 1, -edge - 1);
    if (b.max <= b.min || r.isEmpty())
        return;
    // In double: the distances of a full 32-bit range overflow an int.
    const double fraction = (double(b.position) - b.min) / (double(b.max) - b.min);
    const QColor bar = b.barColor.isValid() ? b.barColor : DefaultBarColor();
    const int length = b.vertical ? r.height() : r.width();
    const int filled = int(length * fraction + 0.5);
    if (b.smooth) {
        if (b.vertical)
            p.fillRect(QRect(r.left(), r.bottom() - filled + 1, r.width(), filled), bar);
        else
            p.fillRect(QRect(r.left(), r.top(), filled, r.height()), bar);
        return;
    }
    // Blocks two thirds as long as the bar is thick, with a gap of two pixels.
    const int thickness = b.vertical ? r.width() : r.height();
    const int block = qMax(2, thickness * 2 / 3);
    for (int at = 0; at < filled; at += block + 2) {
        const int len = qMin(block, filled - at);
        if (b.vertical)
            p.fillRect(QRect(r.left(), r.bottom() - at - len + 1, r.width(), len), bar);
        else
            p.fillRect(QRect(r.left() + at, r.top(), len, r.height()), bar);
    }
}
