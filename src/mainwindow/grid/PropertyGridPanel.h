#pragma once

#include "mainwindow/grid/GridValueEntry.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

class PropertyGridModel;
class cboEdit;
class sGrid;

/// The property grid as the side panel shows it: the grid sGrid over the
/// program's PropertyGridModel and the value chooser cboEdit laid over a cell
/// while it is edited. Edits start with a double-click or F2 on a value cell.
///
/// The grid shows its texts again whenever the model's owners change, so a
/// cell changed by a file reader or by the link's recovery is never stale.
/// Disable it as a whole (setEnabled(false)) while a program runs.
class PropertyGridPanel : public QWidget
{
    Q_OBJECT
public:
    /// The grid's designed width, in twips.
    static constexpr int kGridWidthTwips = 2655;

    explicit PropertyGridPanel(PropertyGridModel &cells, QWidget *parent = nullptr);
    ~PropertyGridPanel() override;

    /// Columns, the twelve rows with the heading colours, then the sizes: the
    /// main window's load step.
    void Load();
    /// Column widths from the grid's width in twips, widened where the font
    /// needs more; height for thirteen rows. The panel takes the grid's size.
    void SetGridSizes(int gridWidthTwips = kGridWidthTwips);

    /// The window that owns the dialogs and places the Custom Value dialog
    /// (default: this panel's window), and the side panel whose top it uses
    /// (default: this panel's parent).
    void SetDialogOwner(QWidget *owner, QWidget *sidePanel);

    sGrid *Grid() const { return m_grid; }
    cboEdit *Chooser() const { return m_chooser; }
    GridValueEntry &Entry() { return m_entry; }
    /// The Custom Value dialog or the Smart Rating Calculator while one is open.
    QDialog *OpenDialog() const { return m_dialog; }

    /// Lays the chooser over cell (row, column) with `current` selected.
    void ShowValueChooser(const QString &current, int row, int column, int left, int top, int width);

    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void sGrid_GridEditRequest(int row, int column, int key, bool *cancel);
    void sGrid_GridSelectionChange(int row, int column);
    void sGrid_GridKeyPress(int *key);
    void sGrid_GridScroll();
    void cboEdit_Click(int index);
    void cboEdit_LostFocus();
    void showCustomDialog(int row);
    void showSmartCalculator();
    void finishChoice();
    void fillCells();
    int chooserWidth() const;
    QWidget *owner() const;

    PropertyGridModel &m_cells;
    GridValueEntry m_entry;
    sGrid *m_grid;
    cboEdit *m_chooser;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_sidePanel;
    QPointer<QDialog> m_dialog;
    int m_fullHeight = 0;
};
