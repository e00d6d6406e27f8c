#include "execution/ProgramListView.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>

ProgramListView::ProgramListView(QWidget *parent)
    : QListView(parent)
{
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(true);
}

void ProgramListView::startDrag(Qt::DropActions supportedActions)
{
    QModelIndexList indexes = selectedIndexes();
    if (indexes.isEmpty())
        return;
    QMimeData *data = model()->mimeData(indexes);
    if (!data)
        return;
    std::sort(indexes.begin(), indexes.end());
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(visualRect(indexes.first())));
    // Dropped here, the lines have moved already; dropped elsewhere, their
    // text was copied. Whatever the drop reports, nothing is removed.
    drag->exec(supportedActions, Qt::MoveAction);
}

void ProgramListView::dropEvent(QDropEvent *event)
{
    // Straight to the model's dropMimeData, past QListView's row moves.
    QAbstractItemView::dropEvent(event);
}
