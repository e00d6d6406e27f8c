#include "platform/cLogo.h"

#include "platform/NumericText.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>

namespace {

// Bands stop being fine enough to look smooth past 255 of them.
constexpr int kMostBands = 255;
// The caption starts this far above the bottom edge.
constexpr int kCaptionLift = 16;
// The longest face name a font request carries.
constexpr int kFaceNameLength = 32;

// One step of the gradient: the start component moved by the share of the
// strip painted so far.
int component(int start, int difference, int painted, int height)
{
    return start + int(RoundHalfEven(double(painted) * difference / height));
}

} // namespace

cLogo::cLogo()
    : m_start(Qt::black)
    , m_end(QGuiApplication::palette().color(QPalette::Active, QPalette::Button))
{
}

void cLogo::SetStartColor(const QColor &color)
{
    m_start = color.toRgb();
    repaint();
}

void cLogo::SetEndColor(const QColor &color)
{
    m_end = color.toRgb();
    repaint();
}

void cLogo::repaint() const
{
    if (m_surface)
        m_surface->update();
}

void cLogo::Draw(QPainter &painter, const QSize &size, const QFont &font, const QColor &textColor) const
{
    const int h = size.height();
    const int w = size.width();
    if (h <= 0 || w <= 0)
        return;
    const int band = std::max(1, h / kMostBands);
    const int dR = m_end.red() - m_start.red();
    const int dG = m_end.green() - m_start.green();
    const int dB = m_end.blue() - m_start.blue();

    // Each band takes the colour worked out after the band below it, so the
    // two lowest bands both have the start colour.
    QColor current = m_start;
    for (int y = h; y >= 0; y -= band) {
        painter.fillRect(QRect(0, y - band, w, band), current);
        current.setRgb(component(m_start.red(), dR, h - y, h), component(m_start.green(), dG, h - y, h),
                       component(m_start.blue(), dB, h - y, h));
    }

    QFont rotated(font.family().left(kFaceNameLength));
    const qreal dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    const int pixels = font.pointSizeF() > 0 ? qRound(font.pointSizeF() * dpi / 72) : font.pixelSize();
    rotated.setPixelSize(std::max(1, pixels));
    rotated.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    rotated.setItalic(font.italic());
    rotated.setUnderline(font.underline());
    rotated.setStrikeOut(font.strikeOut());

    painter.save();
    painter.setFont(rotated);
    painter.setPen(textColor);
    // A quarter turn: the text reads upwards and its cell lies to the right of x = 0.
    painter.translate(0, h - kCaptionLift);
    painter.rotate(-90);
    painter.drawText(QPointF(0, QFontMetricsF(rotated).ascent()), m_caption);
    painter.restore();
}
