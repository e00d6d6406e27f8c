#pragma once

#include "platform/AppError.h"

#include <QString>

#include <optional>
#include <type_traits>

/// The three-line report a procedure shows when it meets an unexpected error,
/// after which the procedure ends and the application goes on.
QString ErrorReportText(const QString &routineCode, int number, const QString &description);
void ErrorReport(const QString &routineCode, int number, const QString &description);
void ErrorReport(const QString &routineCode, const AppError &error);

/// Runs the body of the procedure with this routine code; an AppError it
/// throws ends the procedure with the routine's report. Returns whether the
/// body ran to its end, or for a body that returns a value, that value (none
/// after a report).
template <typename Action> auto Reported(const QString &routineCode, Action &&action)
{
    using Result = std::invoke_result_t<Action &>;
    using Outcome = std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>>;
    try {
        if constexpr (std::is_void_v<Result>) {
            action();
            return Outcome(true);
        } else {
            return Outcome(action());
        }
    } catch (const AppError &e) {
        ErrorReport(routineCode, e);
        return Outcome();
    }
}
