#pragma once

#include <QListView>

/// The Execution Controller's list of the program's lines. Its model decides
/// every drop: a drag of its own lines is one move, text from elsewhere is
/// inserted. So this view never removes rows after a drag, as
/// QAbstractItemView does for a move, and never moves rows one by one, as
/// QListView tries first.
class ProgramListView final : public QListView
{
    Q_OBJECT
public:
    explicit ProgramListView(QWidget *parent = nullptr);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent *event) override;
};
