#include "platform/WindowFrame.h"

#include <QFontMetrics>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>

int TitleBarWidth(const QWidget &window)
{
    QFont font = window.font();
    font.setBold(true);
    const QFontMetrics fm(font);
    // Title bar buttons are about as wide as the bar is high; the caption keeps
    // some room of its own on either side.
    const int button = fm.height() + 8;
    return fm.horizontalAdvance(window.windowTitle()) + 4 * button + 4 * fm.averageCharWidth();
}

void FitTitle(QWidget &window)
{
    window.setMinimumWidth(qMax(window.minimumWidth(), TitleBarWidth(window)));
}

void FixDialogSize(QWidget &dialog)
{
    const QLayout *layout = dialog.layout();
    QSize size = layout ? dialog.sizeHint().expandedTo(dialog.minimumSize()) : dialog.size();
    size.setWidth(qMax(size.width(), TitleBarWidth(dialog)));
    if (layout && layout->hasHeightForWidth())
        size.setHeight(qMax(dialog.minimumHeight(), dialog.heightForWidth(size.width())));
    if (!layout) {
        const int extra = size.width() - dialog.width();
        for (QWidget *child : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            child->move(child->x() + extra / 2, child->y());
    }
    dialog.setFixedSize(size);
}

QMargins FrameMargins(const QWidget &window)
{
    if (const QWindow *handle = window.windowHandle(); handle && handle->isVisible()) {
        if (const QMargins frame = handle->frameMargins(); !frame.isNull())
            return frame;
    }
    QFont font = window.font();
    font.setBold(true);
    constexpr int kBorder = 4;
    return {kBorder, QFontMetrics(font).height() + 12, kBorder, kBorder};
}

namespace {

class BodyScrollArea final : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        // All of the body where there is room; QScrollArea's own stops at a few dozen lines.
        const int f = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(f, f) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override
    {
        if (!widget())
            return QScrollArea::minimumSizeHint();
        const int f = 2 * frameWidth();
        const int lines = 4 * fontMetrics().height();
        return {widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width() + f,
                qMin(lines, widget()->minimumSizeHint().height()) + f};
    }
};

} // namespace

QScrollArea *ScrollingBody(QWidget *body, QWidget *parent)
{
    auto *area = new BodyScrollArea(parent);
    area->setObjectName(QStringLiteral("scrollingBody"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setWidget(body);
    return area;
}
