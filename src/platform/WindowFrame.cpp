#include "platform/WindowFrame.h"

#include <QFontMetrics>
#include <QLayout>
#include <QWidget>

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
