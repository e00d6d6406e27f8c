#include "mainwindow/LogoStrip.h"

#include <QLinearGradient>
#include <QPainter>

LogoStrip::LogoStrip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picLogo"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(9.75);
    f.setBold(true);
    setFont(f);
}

void LogoStrip::SetCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void LogoStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, height(), 0, 0);
    gradient.setColorAt(0.0, palette().color(QPalette::Active, QPalette::Highlight));
    gradient.setColorAt(1.0, Qt::black);
    painter.fillRect(rect(), gradient);

    painter.setPen(Qt::white);
    painter.setFont(font());
    // Rotated a quarter turn so the caption reads upwards from near the bottom.
    painter.translate(0, height() - 16);
    painter.rotate(-90);
    const QFontMetrics fm(font());
    const int baseline = (width() + fm.ascent() - fm.descent()) / 2;
    painter.drawText(0, baseline, m_caption);
}
