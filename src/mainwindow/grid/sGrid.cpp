#include "mainwindow/grid/sGrid.h"

#include "mainwindow/grid/GridItemModel.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "platform/AppError.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

sGrid::sGrid(PropertyGridModel &cells, QWidget *parent)
    : QTableView(parent)
    , m_model(new GridItemModel(cells, this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTextElideMode(Qt::ElideRight);
    setWordWrap(false);
    setTabKeyNavigation(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { emit GridScroll(); });
}

void sGrid::AddGridColumn(const QString &key, const QString &heading)
{
    m_model->AddColumn(key, heading);
}

int sGrid::GridColumnWidth(const QString &key) const
{
    const int column = m_model->ColumnOf(key);
    if (column == 0)
        throw AppError::invalidArgument();
    return columnWidth(column - 1);
}

void sGrid::SetGridColumnWidth(const QString &key, int pixels)
{
    const int column = m_model->ColumnOf(key);
    if (column == 0)
        throw AppError::invalidArgument();
    setColumnWidth(column - 1, pixels);
}

int sGrid::GridRowHeight(int row) const
{
    if (row < 1 || row > m_model->rowCount())
        throw AppError::subscriptOutOfRange();
    return rowHeight(row - 1);
}

std::optional<QString> sGrid::GridCellText(int row, int column) const
{
    const QString text = m_model->Cells().CellText(row, column);
    if (text.isNull())
        return std::nullopt;
    return text;
}

QString sGrid::GridCellDisplayText(int row, int column) const
{
    return GridCellText(row, column).value_or(QString());
}

void sGrid::SetGridCell(int row, int column, const QString &text, int textFormat, int icon, const QColor &back,
                        const QColor &fore)
{
    m_model->SetCellStyle(row, column, {textFormat, icon, back, fore});
    m_model->SetCellText(row, column, text);
}

QRect sGrid::GridCellRect(int row, int column) const
{
    if (row < 1 || row > m_model->rowCount() || column < 1 || column > m_model->columnCount())
        throw AppError::subscriptOutOfRange();
    const QRect cell = visualRect(m_model->index(row - 1, column - 1));
    const QWidget *container = parentWidget();
    if (!container)
        return cell.translated(viewport()->pos());
    return QRect(viewport()->mapTo(container, cell.topLeft()), cell.size());
}

QFont sGrid::GridCellFont(int row, int column) const
{
    m_model->Style(row, column); // throws outside the grid, as every cell query does
    return font();
}

qint64 sGrid::GridCellBackColor(int row, int column) const
{
    const QColor back = m_model->Style(row, column).back;
    return back.isValid() ? qint64(back.rgb() & 0xFFFFFF) : -1;
}

QColor sGrid::GridBackColor() const
{
    return palette().color(QPalette::Base);
}

void sGrid::EndGridEdit()
{
    // No editor of its own is ever open; only make sure the cells show their texts.
    viewport()->update();
}

void sGrid::RefreshGrid()
{
    m_model->Refresh();
}

void sGrid::requestEdit(const QModelIndex &index, int key)
{
    if (!index.isValid())
        return;
    bool cancel = false;
    emit GridEditRequest(index.row() + 1, index.column() + 1, key, &cancel);
}

void sGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QModelIndex at = indexAt(event->position().toPoint());
    event->accept();
    requestEdit(at, 0);
}

void sGrid::keyPressEvent(QKeyEvent *event)
{
    int key = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = kKeyEnter;
        break;
    case Qt::Key_F2:
        key = kKeyF2;
        break;
    default:
        key = event->text().isEmpty() ? 0 : int(event->text().at(0).unicode());
        break;
    }
    if (key != 0) {
        emit GridKeyPress(&key);
        if (key == 0) {
            event->accept();
            return;
        }
    }
    if (key == kKeyF2) {
        event->accept();
        requestEdit(currentIndex(), key);
        return;
    }
    QTableView::keyPressEvent(event);
}

void sGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        emit GridSelectionChange(current.row() + 1, current.column() + 1);
}

void sGrid::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    emit GridScroll();
}
