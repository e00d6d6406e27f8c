#include "mainwindow/grid/GridValueEntry.h"

#include "app/ProgramPropertyStore.h"
#include "link/LinkError.h"
#include "link/LinkSession.h"
#include "link/ServoLink.h"
#include "mainwindow/grid/GridChoices.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"

GridValueEntry::GridValueEntry(PropertyGridModel &cells)
    : m_cells(cells)
{
}

void GridValueEntry::remember(const QString &text)
{
    m_cellValue[1] = m_cellValue[0];
    m_cellValue[0] = text;
}

void GridValueEntry::GridSelectionChange(int row, int column)
{
    Reported(QStringLiteral("0059"), [&] { remember(m_cells.CellText(row, column)); });
}

GridValueEntry::EditResponse GridValueEntry::GridEditRequest(int row, int column, int key)
{
    return Reported(QStringLiteral("0049"),
                    [&] {
                        EditResponse response;
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
                        return response;
                    })
        .value_or(EditResponse{});
}

bool GridValueEntry::ValueInChoices(int row)
{
    return Reported(QStringLiteral("0060"), [&] { return GridChoices::Contains(row, m_cells.CellText(row, 2)); })
        .value_or(false);
}

GridValueEntry::Next GridValueEntry::ChoicePicked(int row, const QString &entry)
{
    return Reported(QStringLiteral("0051"),
                    [&] {
                        remember(m_cells.CellText(row, 2));
                        if (entry == QLatin1String("Custom...")) {
                            m_cells.SetPendingText(row, entry);
                            return Next::Custom;
                        }
                        if (entry == QLatin1String("Wizard...")) {
                            m_cells.SetPendingText(row, entry);
                            return Next::Wizard;
                        }
                        m_cells.SetCellText(row, 2, entry);
                        if (entry == QLatin1String("Online"))
                            goOnline();
                        else if (entry == QLatin1String("Offline"))
                            goOffline();
                        return Next::Done;
                    })
        .value_or(Next::Nothing);
}

void GridValueEntry::goOnline()
{
    LinkSession &session = m_cells.Session();
    if (session.PortOpen())
        return;
    try {
        session.GoOnline();
    } catch (const AppError &e) {
        if (e.number() == LinkError::kInvalidPort || e.number() == LinkError::kPortInUse)
            ShowUserMessage(QStringLiteral("You have selected an invalid Comm Port.  Please try another Comm Port."),
                            MsgButtons::OkCancel, MsgIcon::Information);
        else
            ErrorReport(QStringLiteral("0051"), e);
    }
}

void GridValueEntry::goOffline()
{
    ServoLink &link = m_cells.Session().Link();
    if (link.PortOpen())
        link.Close();
}

QString GridValueEntry::CustomPrompt(int row) const
{
    return QStringLiteral("Please enter your custom ") + m_cells.CellText(row, 1) + QStringLiteral(" value.");
}

void GridValueEntry::CustomOk(int row, const QString &text)
{
    Reported(QStringLiteral("0121"), [&] {
        const ProgramProperties properties = m_cells.Properties().Properties();
        if (!CustomValueCheck::RuleForRow(row, properties))
            return;
        m_check.Check(row, text, properties);
        if (m_check.ReportInvalidValue())
            RestoreFirstChoice(row);
        else
            ApplyCustomValue(row, text);
    });
}

void GridValueEntry::CustomCancel(int row)
{
    Reported(QStringLiteral("0122"), [&] { m_cells.SetCellText(row, 2, m_cellValue[0]); });
}

void GridValueEntry::RestoreFirstChoice(int row)
{
    Reported(QStringLiteral("0130"), [&] {
        const QStringList choices = GridChoices::ForRow(row);
        if (choices.isEmpty())
            throw AppError::subscriptOutOfRange();
        m_cells.SetCellText(row, 2, choices.first());
    });
}

void GridValueEntry::ApplyCustomValue(int row, const QString &text)
{
    Reported(QStringLiteral("0131"), [&] { m_cells.SetCellText(row, 2, text); });
}
