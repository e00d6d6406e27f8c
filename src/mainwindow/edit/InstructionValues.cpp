#include "mainwindow/edit/InstructionValues.h"

#include "platform/AppError.h"
#include "platform/NumericText.h"

#include <limits>
#include <optional>

namespace {

std::optional<qint16> whole16(const QString &text)
{
    try {
        return ToInteger(text);
    } catch (const AppError &) {
        return std::nullopt;
    }
}

// A comma in a field of a Mov line would split the line's values anew
// ("Mov 1,5,127" plays servo 1 at 5127): there it is no digit-group separator.
std::optional<qint16> movField(const QString &text)
{
    return text.contains(QLatin1Char(',')) ? std::nullopt : whole16(text);
}

} // namespace

bool IsServoValueWrong(const QString &text, const QString &servoMin, const QString &servoMax)
{
    const std::optional<qint16> value = movField(text);
    const std::optional<qint16> lower = whole16(servoMin);
    const std::optional<qint16> upper = whole16(servoMax);
    return !value || !lower || !upper || *value > *upper || *value < *lower;
}

bool IsServoNumberWrong(const QString &text)
{
    const std::optional<qint16> number = movField(text);
    return !number || *number < 0;
}

bool IsPauseValueValid(const QString &text)
{
    if (!IsNumericText(text) || text.contains(QLatin1Char(',')))
        return false;
    const qint32 value = ToLong(text);
    return value >= 0 && value < std::numeric_limits<qint32>::max();
}

MovFields SplitMovLine(const QString &line)
{
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 4)
        throw AppError::invalidArgument();
    return {line.mid(4, comma - 4), line.mid(comma + 1)};
}
