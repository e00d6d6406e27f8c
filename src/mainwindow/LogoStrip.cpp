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
    // Light text: the caption sits at the bottom, on the title bar colour.
    QPalette p = palette();
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    m_logo.SetDrawingObject(this);
    m_logo.SetStartColor(palette().color(QPalette::Active, QPalette::Highlight));
    m_logo.SetEndColor(Qt::black);
}

void LogoStrip::SetCaption(const QString &caption)
{
    m_logo.SetCaption(caption);
    update();
}

void LogoStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_logo.Draw(painter, size(), font(), palette().color(foregroundRole()));
}

void LogoStrip::changeEvent(QEvent *event)
{
    // A new system palette brings a new title bar colour.
    if (event->type() == QEvent::PaletteChange)
        m_logo.SetStartColor(palette().color(QPalette::Active, QPalette::Highlight));
    QWidget::changeEvent(event);
}
