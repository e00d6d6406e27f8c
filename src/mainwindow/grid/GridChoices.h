#pragma once

#include <QString>
#include <QStringList>

/// What the value chooser offers for each row of the property grid. The first
/// choice of a row is the property's default.
class GridChoices
{
public:
    /// The row's fixed choices in order; empty for heading rows and rows outside the grid.
    static QStringList ForRow(int row);
    /// True when `text` equals one of the row's fixed choices exactly.
    static bool Contains(int row, const QString &text);
    /// The entry to select: the first equal to `current`, otherwise entry 0.
    static int SelectionIndex(const QStringList &entries, const QString &current);
};
