#include "mainwindow/LogoStrip.h"

#include <QEvent>
#include <QPainter>

LogoStrip::LogoStrip(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("picLogo"));
    QFont f(QStringLiteral("Arial"));
    f.setPointSizeF(9.75);
    f.setBold(true);
    setFont(f);
    m_logo.SetDrawingObject(this);
    takeColors();
}

void LogoStrip::takeColors()
{
    // The title bar colour, fading into the palette's darkest (black in the usual palettes).
    m_logo.SetStartColor(palette().color(QPalette::Active, QPalette::Highlight));
    m_logo.SetEndColor(palette().color(QPalette::Active, QPalette::Shadow));
}

void LogoStrip::SetCaption(const QString &caption)
{
    m_logo.SetCaption(caption);
    update();
}

void LogoStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_logo.Draw(painter, size(), font(), palette().color(QPalette::Active, QPalette::HighlightedText));
}

void LogoStrip::changeEvent(QEvent *event)
{
    // A new system palette brings a new title bar colour.
    if (event->type() == QEvent::PaletteChange)
        takeColors();
    QWidget::changeEvent(event);
}
