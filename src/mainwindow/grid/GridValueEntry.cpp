#include "mainwindow/grid/GridValueEntry.h"

#include "app/AppComponents.h"
#include "app/AppState.h"
#include "mainwindow/PropertyGridModel.h"
#include "mainwindow/grid/GridChoices.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"

namespace {

// Serial failures that mean the chosen port cannot be used.
constexpr int kPortInvalid = 8002;
constexpr int kPortInUse = 8005;

void remember(const QString &text)
{
    std::array<QString, 2> &value = App().GridCellValue;
    value[1] = value[0];
    value[0] = text;
}

} // namespace

GridValueEntry::GridValueEntry(PropertyGridModel &cells, IPropertyGrid &applier)
    : m_cells(cells)
    , m_applier(applier)
{
}

void GridValueEntry::GridSelectionChange(int row, int column)
{
    try {
        remember(m_cells.CellText(row, column));
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0059"), e);
    }
}

GridValueEntry::EditResponse GridValueEntry::GridEditRequest(int row, int column, int key)
{
    EditResponse response;
    try {
        if (key == kKeyEnter)
            return response;
        if (row == PropertyGridModel::ProgramHeading || row == PropertyGridModel::ExecutionHeading)
            return response;
        if (column == 1) {
            response.cancel = true;
            return response;
        }
        response.entries = GridChoices::ForRow(row);
        if (!ValueInChoices(row))
            response.entries << m_cells.CellText(row, 2);
        response.show = true;
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0049"), e);
        response = EditResponse{};
    }
    return response;
}

bool GridValueEntry::ValueInChoices(int row)
{
    try {
        return GridChoices::Contains(row, m_cells.CellText(row, 2));
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0060"), e);
    }
    return false;
}

GridValueEntry::Next GridValueEntry::ChoicePicked(int row, const QString &entry)
{
    try {
        remember(m_cells.CellText(row, 2));
        m_cells.SetCellText(row, 2, entry);
        if (entry == QLatin1String("Custom..."))
            return Next::Custom;
        if (entry == QLatin1String("Wizard..."))
            return Next::Wizard;
        if (entry == QLatin1String("Online")) {
            goOnline();
            return Next::Done;
        }
        if (entry == QLatin1String("Offline")) {
            goOffline();
            return Next::Done;
        }
        m_applier.UpdatePropertiesFromGrid();
        return Next::Done;
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0051"), e);
    }
    return Next::Nothing;
}

bool GridValueEntry::portOpen() const
{
    if (m_link.isOpen)
        return m_link.isOpen();
    return Components().link && Components().link->PortOpen();
}

void GridValueEntry::goOnline()
{
    if (portOpen() || !m_link.open)
        return;
    try {
        m_link.open();
    } catch (const AppError &e) {
        if (e.number() == kPortInvalid || e.number() == kPortInUse)
            ShowUserMessage(QStringLiteral("You have selected an invalid Comm Port.  Please try another Comm Port."),
                            MsgButtons::OkCancel, MsgIcon::Information);
        else
            ErrorReport(QStringLiteral("0051"), e);
        // Whatever the reason, the port stayed closed: the grid must not claim otherwise.
        m_cells.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Offline"));
        m_applier.UpdatePropertiesFromGrid();
    }
}

void GridValueEntry::goOffline()
{
    if (!portOpen())
        return;
    if (m_link.close)
        m_link.close();
    else if (Components().link)
        Components().link->ClosePort();
}

QString GridValueEntry::CustomPrompt(int row) const
{
    return QStringLiteral("Please enter your custom ") + m_cells.CellText(row, 1) + QStringLiteral(" value.");
}

void GridValueEntry::CustomOk(int row, const QString &text)
{
    try {
        if (!CustomValueCheck::RuleForRow(row))
            return;
        m_check.Check(row, text);
        if (m_check.ReportInvalidValue())
            RestoreFirstChoice(row);
        else
            ApplyCustomValue(row, text);
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0121"), e);
    }
}

void GridValueEntry::CustomCancel(int row)
{
    try {
        m_cells.SetCellText(row, 2, App().GridCellValue[0]);
        m_applier.UpdatePropertiesFromGrid();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0122"), e);
    }
}

void GridValueEntry::RestoreFirstChoice(int row)
{
    try {
        const QStringList choices = GridChoices::ForRow(row);
        if (choices.isEmpty())
            throw AppError::subscriptOutOfRange();
        m_cells.SetCellText(row, 2, choices.first());
        m_applier.UpdatePropertiesFromGrid();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0130"), e);
    }
}

void GridValueEntry::ApplyCustomValue(int row, const QString &text)
{
    try {
        m_cells.SetCellText(row, 2, text);
        m_applier.UpdatePropertiesFromGrid();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0131"), e);
    }
}
