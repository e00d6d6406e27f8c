#include "execution/smart/SmartRatingCalculator.h"

#include "app/ProgramPropertyStore.h"
#include "platform/AppError.h"
#include "platform/NumericText.h"

#include <cmath>

namespace {

constexpr int kDivisionByZero = 11;
constexpr double kLargestRating = 65534.0;

double number(const QString &text)
{
    const std::optional<double> value = NumericValue(text);
    if (!value)
        throw AppError::typeMismatch();
    return *value;
}

} // namespace

double SmartRatingCalculator::Calculate(const QString &seconds, const QString &per, const QString &range,
                                        const QString &servoMax, const QString &servoMin)
{
    const double s = number(seconds);
    const double p = number(per);
    const double r = number(range);
    const double max = number(servoMax);
    const double min = number(servoMin);
    if (p == 0.0 || max == min)
        throw AppError(kDivisionByZero, QStringLiteral("Division by zero"));
    const double full = s * r / p;
    const double step = full / (max - min);
    const double rating = step * 1000.0 + 0.15;
    // The program file reader refuses a negative smart rating, and the custom
    // value rules one above 65534: such a rating would make the program unusable.
    if (!std::isfinite(rating) || RoundHalfEven(rating) > kLargestRating)
        throw AppError::overflow();
    if (RoundHalfEven(rating) < 0.0)
        throw AppError::invalidArgument();
    return rating;
}

QString SmartRatingCalculator::FormatRating(double rating)
{
    // Round on the decimal digits, not on the binary value, so 1.005 gives 1.01.
    const QString digits = QString::number(std::fabs(rating), 'f', 9);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    qint64 hundredths = digits.left(point).toLongLong() * 100 + digits.mid(point + 1, 2).toInt();
    if (digits.at(point + 3) >= QLatin1Char('5'))
        ++hundredths;
    const qint64 whole = hundredths / 100;
    const qint64 cents = hundredths % 100;
    QString text = whole == 0 ? QString() : QString::number(whole);
    text += QLatin1Char('.') + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
    if (rating < 0 && hundredths != 0)
        text.prepend(QLatin1Char('-'));
    return text;
}

QString SmartRatingCalculator::QuestionText(const QString &rating)
{
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Using your current property values your Smart Rating was calculated to be") + crLf + crLf +
           rating + crLf + crLf + QStringLiteral("Would you like to set this as your smart rating?");
}

void SmartRatingCalculator::FinishEdit(ProgramPropertyStore &properties, const QString &valueBefore,
                                       const QString *acceptedRating)
{
    properties.SetValue(ProgramPropertyStore::Field::SmartDelay, acceptedRating ? *acceptedRating : valueBefore);
}
