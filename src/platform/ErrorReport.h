#pragma once

#include <QString>

class AppError;

/// The three-line report a procedure shows when it meets an unexpected error,
/// after which the procedure ends and the application goes on.
QString ErrorReportText(const QString &routineCode, int number, const QString &description);
void ErrorReport(const QString &routineCode, int number, const QString &description);
void ErrorReport(const QString &routineCode, const AppError &error);
