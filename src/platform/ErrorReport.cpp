#include "platform/ErrorReport.h"

#include "platform/AppError.h"
#include "platform/MessageService.h"
#include "platform/Services.h"

QString ErrorReportText(const QString &routineCode, int number, const QString &description)
{
    // "Numer" is how the reports have always read; users and their notes quote it.
    return QStringLiteral("Routine Code: ") + routineCode + QStringLiteral("\r\nError Numer: ") +
           QString::number(number) + QStringLiteral("\r\nError Description: ") + description;
}

void ErrorReport(const QString &routineCode, int number, const QString &description)
{
    Services::messages().show(
        {kErrorReportTitle, ErrorReportText(routineCode, number, description), MsgButtons::Ok, MsgIcon::None});
}

void ErrorReport(const QString &routineCode, const AppError &error)
{
    ErrorReport(routineCode, error.number(), error.description());
}
