#include "mainwindow/grid/PropertyGridModel.h"

#include "app/ProgramPropertyStore.h"
#include "link/LinkSession.h"
#include "platform/AppError.h"
#include "program/ProgramListing.h"

#include <optional>

namespace {

using Field = ProgramPropertyStore::Field;

// The property shown in rows 2 to 9, in row order.
std::optional<Field> fieldOf(int row)
{
    static constexpr Field kFields[] = {Field::SynchByte,  Field::InterInstructionDelay,
                                        Field::SmartDelay, Field::CommPort,
                                        Field::BaudRate,   Field::ServoMax,
                                        Field::ServoMin,   Field::ServoCenter};
    if (row < PropertyGridModel::SynchByte || row > PropertyGridModel::ServoCenter)
        return std::nullopt;
    return kFields[row - PropertyGridModel::SynchByte];
}

} // namespace

PropertyGridModel::PropertyGridModel(ProgramPropertyStore &properties, LinkSession &session, ProgramListing &history,
                                     QObject *parent)
    : QObject(parent)
    , m_properties(properties)
    , m_session(session)
    , m_history(history)
{
    static const char *const names[kRowCount] = {
        "Program Properties", "Synch Byte",      "Inter-Instruction Delay",
        "Smart Rating",       "Comm Port",       "Baud Rate",
        "Servo Max",          "Servo Min",       "Servo Center",
        "Execution Options",  "CommPort Status", "Center on Execution",
    };
    for (int i = 0; i < kRowCount; ++i)
        m_names[i] = QString::fromLatin1(names[i]);
    // Whatever writes the properties ends an edit that was waiting for its dialog.
    connect(&m_properties, &ProgramPropertyStore::changed, this, [this] {
        m_pendingRow = 0;
        Q_EMIT cellsChanged();
    });
    connect(&m_session, &LinkSession::optionsChanged, this, &PropertyGridModel::cellsChanged);
}

void PropertyGridModel::checkCell(int row, int column)
{
    if (row < 1 || row > kRowCount || column < 1 || column > 2)
        throw AppError::subscriptOutOfRange();
}

QString PropertyGridModel::CellText(int row, int column) const
{
    checkCell(row, column);
    if (column == 1)
        return m_names[row - 1];
    if (row == m_pendingRow)
        return m_pendingText;
    if (const std::optional<Field> field = fieldOf(row))
        return m_properties.Value(*field);
    if (row == CommPortStatus)
        return m_session.CommPortStatus();
    if (row == CenterOnExecution)
        return m_session.CenterOnExecution();
    return {};
}

void PropertyGridModel::SetCellText(int row, int column, const QString &text)
{
    checkCell(row, column);
    if (column == 1) {
        m_names[row - 1] = text;
        Q_EMIT cellsChanged();
        return;
    }
    const bool wasPending = row == m_pendingRow;
    if (wasPending)
        m_pendingRow = 0;
    const std::optional<Field> field = fieldOf(row);
    if (field && m_properties.Value(*field) != text) {
        // A program file holds the properties too: their changes are undone with the lines'.
        ProgramProperties after = m_properties.Properties();
        after.*MemberOf(*field) = text;
        m_history.ChangeProperties(m_properties, after, QStringLiteral("Change ") + m_names[row - 1]);
    } else if (row == CommPortStatus) {
        m_session.SetCommPortStatus(text);
    } else if (row == CenterOnExecution) {
        m_session.SetCenterOnExecution(text);
    } else if (wasPending) {
        Q_EMIT cellsChanged();
    }
}

void PropertyGridModel::SetPendingText(int row, const QString &text)
{
    checkCell(row, 2);
    m_pendingRow = row;
    m_pendingText = text;
    Q_EMIT cellsChanged();
}
