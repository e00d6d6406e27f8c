#pragma once

#include <QString>

class ProgramPropertyStore;

/// Derives the smart rating (milliseconds per unit of position change) from a
/// servo's published speed and the program's servo limits.
class SmartRatingCalculator
{
public:
    /// seconds x range / per gives the time for the whole rotation range; that
    /// divided by (servoMax - servoMin) positions, in milliseconds, plus 0.15.
    /// Throws AppError 13 for a text that is not a number, 11 for a zero "per"
    /// or equal servo limits, 5 for a negative result and 6 for one beyond
    /// 65534 (neither could be stored as a smart rating).
    static double Calculate(const QString &seconds, const QString &per, const QString &range, const QString &servoMax,
                            const QString &servoMin);

    /// The rating as "#.#0": two decimals, rounded half away from zero, no
    /// digit before the point when the whole part is 0 (".15", "1.27").
    static QString FormatRating(double rating);

    /// The question that offers the rating to the user.
    static QString QuestionText(const QString &rating);

    /// Ends the calculator's edit of the Smart Rating: the accepted rating,
    /// or (none accepted) the value it had before the edit.
    static void FinishEdit(ProgramPropertyStore &properties, const QString &valueBefore, const QString *acceptedRating);
};
