#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

#include <array>

class PropertyGridModel;

/// Presents the property grid's cell texts to a Qt view. The texts stay in
/// PropertyGridModel (the file readers and the link read and write them there);
/// this adds the columns and the look of each cell.
class GridItemModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    /// The look SetGridCell gives a cell; invalid colours mean the grid's own.
    struct CellStyle
    {
        int textFormat = 0;
        int icon = -1;
        QColor back;
        QColor fore;
    };

    explicit GridItemModel(PropertyGridModel &cells, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    /// Adds a column; returns its number counted from 1, or 0 when the grid is full.
    int AddColumn(const QString &key, const QString &heading);
    /// The column with this key, counted from 1; 0 when there is none.
    int ColumnOf(const QString &key) const;

    PropertyGridModel &Cells() { return m_cells; }
    /// Row and column counted from 1.
    void SetCellText(int row, int column, const QString &text);
    void SetCellStyle(int row, int column, const CellStyle &style);
    const CellStyle &Style(int row, int column) const;

    /// The texts may have changed behind the view's back: show them again.
    void Refresh();

private:
    struct Column
    {
        QString key;
        QString heading;
    };

    PropertyGridModel &m_cells;
    QList<Column> m_columns;
    std::array<std::array<CellStyle, 2>, 12> m_styles{};
};
