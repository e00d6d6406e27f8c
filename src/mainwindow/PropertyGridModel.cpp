#include "mainwindow/PropertyGridModel.h"

#include "app/AppState.h"
#include "platform/AppError.h"

PropertyGridModel::PropertyGridModel()
{
    static const char *const names[kRowCount] = {
        "Program Properties", "Synch Byte",      "Inter-Instruction Delay",
        "Smart Rating",       "Comm Port",       "Baud Rate",
        "Servo Max",          "Servo Min",       "Servo Center",
        "Execution Options",  "CommPort Status", "Center on Execution",
    };
    for (int i = 0; i < kRowCount; ++i)
        m_cells[i][0] = QString::fromLatin1(names[i]);
    m_cells[CommPortStatus - 1][1] = QStringLiteral("Online");
    m_cells[CenterOnExecution - 1][1] = QStringLiteral("True");
    UpdateGridFromProperties();
}

QString PropertyGridModel::CellText(int row, int column) const
{
    if (row < 1 || row > kRowCount || column < 1 || column > 2)
        throw AppError::subscriptOutOfRange();
    return m_cells[row - 1][column - 1];
}

void PropertyGridModel::SetCellText(int row, int column, const QString &text)
{
    if (row < 1 || row > kRowCount || column < 1 || column > 2)
        throw AppError::subscriptOutOfRange();
    m_cells[row - 1][column - 1] = text;
}

void PropertyGridModel::UpdateGridFromProperties()
{
    const ProgramProperties &p = App().Properties;
    SetCellText(SynchByte, 2, p.SynchByte);
    SetCellText(InterInstructionDelay, 2, p.InterInstructionDelay);
    SetCellText(SmartRating, 2, p.SmartDelay);
    SetCellText(CommPort, 2, p.CommPort);
    SetCellText(BaudRate, 2, p.BaudRate);
    SetCellText(ServoMax, 2, p.ServoMax);
    SetCellText(ServoMin, 2, p.ServoMin);
    SetCellText(ServoCenter, 2, p.ServoCenter);
}

void PropertyGridModel::UpdatePropertiesFromGrid()
{
    if (m_updater)
        m_updater();
    else
        CopyGridToProperties();
}

void PropertyGridModel::CopyGridToProperties()
{
    ProgramProperties &p = App().Properties;
    p.SynchByte = CellText(SynchByte, 2);
    p.InterInstructionDelay = CellText(InterInstructionDelay, 2);
    p.SmartDelay = CellText(SmartRating, 2);
    p.CommPort = CellText(CommPort, 2);
    p.BaudRate = CellText(BaudRate, 2);
    p.ServoMax = CellText(ServoMax, 2);
    p.ServoMin = CellText(ServoMin, 2);
    p.ServoCenter = CellText(ServoCenter, 2);
}
