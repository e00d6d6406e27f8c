#pragma once

#include <QString>

/// The value checks of the Mov and Pause dialogs. Whole numbers are those of
/// the general numeric test, rounded halves to even; a comma is refused, since
/// it separates the values of a line.

/// True when the servo value is not a number (a comma included), does not fit in 16 bits, or its
/// whole number lies outside that of `servoMin`..`servoMax`.
bool IsServoValueWrong(const QString &text, const QString &servoMin, const QString &servoMax);
/// True when the servo number is not a number (a comma included), does not fit in 16 bits, or is
/// below 0; the dialog offers 0..15 but takes any higher number typed.
bool IsServoNumberWrong(const QString &text);
/// A number without ",", whole number from 0 to 2147483646. Throws AppError
/// (overflow) when the whole number does not fit in 32 bits.
bool IsPauseValueValid(const QString &text);

struct MovFields
{
    QString servo;
    QString value;
};
/// The text between "Mov " and the first comma, and the text after that comma.
/// Throws AppError (invalid argument) for a line without a comma.
MovFields SplitMovLine(const QString &line);
