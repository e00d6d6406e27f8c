#include "platform/ScreenFit.h"

#include "platform/WindowFrame.h"

#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QStyle>
#include <QWidget>

void ScreenFit::Fit(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QMargins frame = FrameMargins(window);
    const QSize room = area.size().shrunkBy(frame);
    const QSize least = window.layout() ? window.layout()->totalMinimumSize() : window.minimumSize();
    QSize size = window.size();
    if (size.height() > room.height()) {
        // The part that now scrolls takes a scroll bar's width.
        size.rwidth() += window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &window);
    }
    size = size.boundedTo(room).expandedTo(least);
    if (size != window.size()) {
        if (window.minimumSize() == window.maximumSize())
            window.setFixedSize(size);
        else
            window.setMinimumSize(window.minimumSize().boundedTo(size));
        window.resize(size);
    }
    // The frame's top left, as pos() gives it: the title bar on the screen first.
    const QSize outer = size.grownBy(frame);
    const int x = qMax(area.left(), qMin(window.x(), area.left() + area.width() - outer.width()));
    const int y = qMax(area.top(), qMin(window.y(), area.top() + area.height() - outer.height()));
    if (QPoint(x, y) != window.pos())
        window.move(x, y);
}

bool ScreenFit::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto *window = static_cast<QWidget *>(watched);
        const Qt::WindowType type = window->windowType();
        if (window->isWindow() && (type == Qt::Window || type == Qt::Dialog))
            Fit(*window);
    }
    return QObject::eventFilter(watched, event);
}
