#include "mainwindow/grid/GridItemModel.h"

#include "mainwindow/grid/PropertyGridModel.h"
#include "platform/AppError.h"

namespace {
constexpr int kMaxColumns = 2;
} // namespace

GridItemModel::GridItemModel(PropertyGridModel &cells, QObject *parent)
    : QAbstractTableModel(parent)
    , m_cells(cells)
{
}

int GridItemModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : PropertyGridModel::kRowCount;
}

int GridItemModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridItemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    const CellStyle &style = Style(row, column);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_cells.CellText(row, column);
    case Qt::AccessibleTextRole:
        // A value cell is read out with its property's name.
        return column == 1 || m_cells.CellText(row, column).isEmpty()
                   ? m_cells.CellText(row, 1)
                   : m_cells.CellText(row, 1) + QStringLiteral(": ") + m_cells.CellText(row, column);
    case Qt::BackgroundRole:
        return style.back.isValid() ? QVariant(style.back) : QVariant();
    case Qt::ForegroundRole:
        return style.fore.isValid() ? QVariant(style.fore) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant GridItemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 && section < m_columns.size())
        return m_columns.at(section).heading;
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags GridItemModel::flags(const QModelIndex &index) const
{
    // The grid is never typed into: values change through the chooser.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

int GridItemModel::AddColumn(const QString &key, const QString &heading)
{
    if (m_columns.size() >= kMaxColumns || ColumnOf(key) != 0)
        return 0;
    const int at = int(m_columns.size());
    beginInsertColumns(QModelIndex(), at, at);
    m_columns.append({key, heading});
    endInsertColumns();
    return at + 1;
}

int GridItemModel::ColumnOf(const QString &key) const
{
    for (qsizetype i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).key == key)
            return int(i) + 1;
    }
    return 0;
}

void GridItemModel::SetCellText(int row, int column, const QString &text)
{
    m_cells.SetCellText(row, column, text);
    if (column <= m_columns.size()) {
        const QModelIndex at = index(row - 1, column - 1);
        emit dataChanged(at, at);
    }
}

void GridItemModel::SetCellStyle(int row, int column, const CellStyle &style)
{
    if (row < 1 || row > PropertyGridModel::kRowCount || column < 1 || column > kMaxColumns)
        throw AppError::subscriptOutOfRange();
    m_styles[row - 1][column - 1] = style;
    if (column <= m_columns.size()) {
        const QModelIndex at = index(row - 1, column - 1);
        emit dataChanged(at, at);
    }
}

const GridItemModel::CellStyle &GridItemModel::Style(int row, int column) const
{
    if (row < 1 || row > PropertyGridModel::kRowCount || column < 1 || column > kMaxColumns)
        throw AppError::subscriptOutOfRange();
    return m_styles[row - 1][column - 1];
}

void GridItemModel::Refresh()
{
    if (!m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}
