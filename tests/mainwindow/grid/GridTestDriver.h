#pragma once

#include "mainwindow/grid/PropertyGridPanel.h"
#include "mainwindow/grid/cboEdit.h"
#include "mainwindow/grid/sGrid.h"
#include "support/ModalDialogs.h"

#include <QTest>

/// Works the property grid panel the way a user does: double-clicks on cells
/// and picks in the chooser.
class GridDriver
{
public:
    explicit GridDriver(PropertyGridPanel *&panel)
        : m_panel(panel)
    {
    }

    sGrid *grid() const { return m_panel->Grid(); }
    cboEdit *chooser() const { return m_panel->Chooser(); }
    /// What the grid shows in the value cell of `row`.
    QString shown(int row) const { return grid()->model()->data(grid()->model()->index(row - 1, 1)).toString(); }

    QStringList chooserItems() const
    {
        QStringList items;
        for (int i = 0; i < chooser()->count(); ++i)
            items << chooser()->itemText(i);
        return items;
    }

    void doubleClick(int row, int column)
    {
        const QRect r = grid()->visualRect(grid()->model()->index(row - 1, column - 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }

    /// Opens the chooser on the value cell of `row` and picks `entry`; false
    /// when the chooser did not open or lacks the entry.
    bool pick(int row, const QString &entry)
    {
        doubleClick(row, 2);
        if (!chooser()->isVisible())
            return false;
        const int at = chooser()->findText(entry);
        if (at < 0)
            return false;
        chooser()->setCurrentIndex(at);
        emit chooser()->activated(at);
        return true;
    }

private:
    PropertyGridPanel *&m_panel;
};
