#pragma once

#include "app/ProgramProperties.h"

#include <QString>

#include <optional>

/// The rules a custom property value must pass, and the four flags that keep
/// the results of the last check. Each check handles its own unexpected
/// errors (an error report with its routine code, then a False result).
class CustomValueCheck
{
public:
    /// The limits of a row's custom values, as texts converted at check time.
    struct Rule
    {
        QString lower;
        QString upper;
        bool decimalAllowed = false;
    };
    /// The rule of rows 2, 3, 4, 7, 8 and 9 with the limits the properties
    /// hold now; nothing for the other rows.
    static std::optional<Rule> RuleForRow(int row, const ProgramProperties &properties);

    /// True when the text fails the general numeric test.
    bool IsNotNumeric(const QString &text);
    /// False without further test when NotNumericFlag is set. A whole number
    /// beyond 32 bits counts as too small (negative) or too large (positive).
    bool IsTooSmall(const QString &text, const QString &limit);
    bool IsTooLarge(const QString &text, const QString &limit);
    /// False when NotNumericFlag is set; otherwise whether the text has a ".".
    bool HasDecimal(const QString &text);

    /// Sets all four flags for a value typed for `row`. Rows without a rule
    /// leave the flags as they were.
    void Check(int row, const QString &text, const ProgramProperties &properties);

    /// "The property value is invalid because:" and a reason per set flag;
    /// empty when no flag is set.
    QString InvalidValueMessage() const;
    /// Shows InvalidValueMessage when a flag is set; True then.
    bool ReportInvalidValue();

    bool NotNumericFlag = false;
    bool TooSmallFlag = false;
    bool TooLargeFlag = false;
    bool DecimalFlag = false;
};
