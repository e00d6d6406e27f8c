#include "platform/NamesView.h"

#include <QListView>
#include <QStringListModel>

QListView *NamesView(QWidget *parent)
{
    auto *view = new QListView(parent);
    view->setModel(new QStringListModel(view));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return view;
}

QStringListModel &ViewNames(const QListView &view)
{
    return *static_cast<QStringListModel *>(view.model());
}
