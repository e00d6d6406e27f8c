#pragma once

#include "app/AppComponents.h"

#include <QString>

#include <array>
#include <functional>

/// The texts of the property grid's twelve rows (numbered from 1): names in
/// column 1, values in column 2. The grid widget shows this model; the file
/// readers and the servo link read and write it.
class PropertyGridModel : public IPropertyGrid
{
public:
    static constexpr int kRowCount = 12;
    enum Row {
        ProgramHeading = 1,
        SynchByte = 2,
        InterInstructionDelay = 3,
        SmartRating = 4,
        CommPort = 5,
        BaudRate = 6,
        ServoMax = 7,
        ServoMin = 8,
        ServoCenter = 9,
        ExecutionHeading = 10,
        CommPortStatus = 11,
        CenterOnExecution = 12,
    };

    PropertyGridModel();

    /// Cell text; row 1..12, column 1..2. Throws AppError 9 outside the grid.
    QString CellText(int row, int column) const;
    void SetCellText(int row, int column, const QString &text);

    void UpdateGridFromProperties() override;
    /// Applies the grid: through the installed updater (AppState, sliders and
    /// serial port), or by CopyGridToProperties alone when there is none.
    void UpdatePropertiesFromGrid() override;

    /// Copies the value cells of rows 2 to 9 into AppState, in row order.
    void CopyGridToProperties();
    /// The servo link's UpdatePropertiesFromGrid; empty to uninstall.
    void SetPropertiesUpdater(std::function<void()> updater) { m_updater = std::move(updater); }

private:
    std::function<void()> m_updater;
    std::array<std::array<QString, 2>, kRowCount> m_cells;
};
