#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

/// The general numeric test every value check of the program uses: surrounding
/// blanks, an optional sign, digits in which commas are digit-group separators
/// (anywhere before the decimal point, so "1,000" and "3,127" are numbers), an
/// optional decimal point with digits, an optional exponent. At least one digit.
bool IsNumericText(const QString &text);

/// The value of a text that passes IsNumericText; nothing otherwise.
std::optional<double> NumericValue(const QString &text);

/// Nearest whole number, halves to the even neighbour (0.5 -> 0, 1.5 -> 2, -2.5 -> -2).
double RoundHalfEven(double value);

/// A text's whole number as a 16-bit value. Throws AppError 13 (type mismatch)
/// for a text that is not a number and 6 (overflow) outside -32768..32767.
qint16 ToInteger(const QString &text);

/// The same as a 32-bit value, overflow outside the 32-bit range.
qint32 ToLong(const QString &text);

/// The whole number of a text as 32 bits, or nothing when it is not a number or
/// lies outside the range; for checks that must not throw.
std::optional<qint32> WholeNumber32(const QString &text);
