#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QTableView>

#include <optional>

class GridItemModel;
class PropertyGridModel;

/// The property grid control: a two-column table of cells with text and
/// colours, over the texts of a PropertyGridModel. Rows and columns are
/// counted from 1. Nothing is ever typed into it: a double-click or F2 on a
/// cell raises GridEditRequest and the owner lays its own chooser over the cell.
class sGrid : public QTableView
{
    Q_OBJECT
public:
    /// The single-line, end-ellipsis text format of heading cells.
    static constexpr int kSingleLineEllipsis = 0x40020;
    /// Key codes as the notifications carry them.
    static constexpr int kKeyEnter = 13;
    static constexpr int kKeyF2 = 113;

    explicit sGrid(PropertyGridModel &cells, QWidget *parent = nullptr);

    void AddGridColumn(const QString &key, const QString &heading);
    int GridColumnWidth(const QString &key) const;
    void SetGridColumnWidth(const QString &key, int pixels);
    int GridRowHeight(int row) const;

    /// The cell's text, or nothing when the cell holds no value.
    std::optional<QString> GridCellText(int row, int column) const;
    /// The text the cell shows.
    QString GridCellDisplayText(int row, int column) const;
    /// Writes a cell's text with its text format, icon (-1 none), back and
    /// text colour (invalid colours: the grid's own).
    void SetGridCell(int row, int column, const QString &text, int textFormat = 0, int icon = -1,
                     const QColor &back = QColor(), const QColor &fore = QColor());
    /// The cell's rectangle in the coordinates of the grid's container.
    QRect GridCellRect(int row, int column) const;
    QFont GridCellFont(int row, int column) const;
    /// The cell's own back colour as 0xRRGGBB, or -1 when it has none.
    qint64 GridCellBackColor(int row, int column) const;
    QColor GridBackColor() const;
    /// Ends the editing of the current cell.
    void EndGridEdit();
    /// Shows the cell texts again after they changed in the model.
    void RefreshGrid();

Q_SIGNALS:
    /// A cell is to be edited; the handler may set *cancel to refuse it.
    void GridEditRequest(int row, int column, int key, bool *cancel);
    void GridSelectionChange(int row, int column);
    /// A key reached the grid; the handler may change *key (0 swallows it).
    void GridKeyPress(int *key);
    /// The grid scrolled or a column was resized: an open chooser no longer
    /// sits over its cell.
    void GridScroll();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void requestEdit(const QModelIndex &index, int key);

    GridItemModel *m_model;
};
