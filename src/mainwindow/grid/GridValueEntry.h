#pragma once

#include "mainwindow/grid/CustomValueCheck.h"

#include <QString>
#include <QStringList>

#include <array>

class PropertyGridModel;

/// What happens when a property value is edited in the grid, without the
/// widgets: which cells may be edited, what the value chooser offers, what a
/// picked choice does, and the Custom Value dialog's OK and Cancel. The grid
/// panel and the dialogs call in and only show the results.
///
/// Every accepted change is written into the model, whose owners apply it;
/// GridCellValue keeps the value to go back to when an edit is cancelled or fails.
class GridValueEntry
{
public:
    /// The Enter key as the grid reports it.
    static constexpr int kKeyEnter = 13;

    explicit GridValueEntry(PropertyGridModel &cells);

    /// The grid's current cell moved: GridCellValue(1) = GridCellValue(0),
    /// GridCellValue(0) = the cell's text.
    void GridSelectionChange(int row, int column);
    /// (0) the text of the cell last selected or edited, (1) the one before.
    const std::array<QString, 2> &GridCellValue() const { return m_cellValue; }

    struct EditResponse
    {
        /// The grid must refuse the edit (a name cell).
        bool cancel = false;
        /// The chooser is to be shown with `entries`.
        bool show = false;
        QStringList entries;
    };
    /// A request to edit cell (row, column), raised by `key` (0 for the mouse).
    EditResponse GridEditRequest(int row, int column, int key);

    /// True when one of the row's choices equals the value cell's text exactly.
    bool ValueInChoices(int row);

    /// What the chooser's owner does after a pick.
    enum class Next {
        /// The pick failed and was reported; leave the chooser as it is.
        Nothing,
        /// Show the Custom Value dialog (prompt: CustomPrompt, text: GridCellValue(0)).
        Custom,
        /// Show the Smart Rating Calculator; the chooser stays.
        Wizard,
        /// The pick is handled: hide the chooser and give the grid the focus.
        Done,
    };
    /// The user picked `entry` in the chooser for `row`.
    Next ChoicePicked(int row, const QString &entry);

    /// "Please enter your custom <name> value."
    QString CustomPrompt(int row) const;
    /// The Custom Value dialog's OK: checks the text (rows with a rule), then
    /// reports and restores the default, or applies the value as typed.
    void CustomOk(int row, const QString &text);
    /// The Custom Value dialog's Cancel: the value before the edit comes back.
    void CustomCancel(int row);
    /// Cell (row, 2) = the row's first choice.
    void RestoreFirstChoice(int row);
    /// Cell (row, 2) = `text` exactly as typed.
    void ApplyCustomValue(int row, const QString &text);

    /// The flags of the last check, kept from one use of the dialog to the next.
    CustomValueCheck &Check() { return m_check; }

private:
    void remember(const QString &text);
    void goOnline();
    void goOffline();

    PropertyGridModel &m_cells;
    std::array<QString, 2> m_cellValue;
    CustomValueCheck m_check;
};
