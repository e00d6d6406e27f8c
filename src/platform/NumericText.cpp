#include "platform/NumericText.h"

#include "platform/AppError.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Parses the grammar; on success returns the text with blanks and group
// separators removed, ready for a C-locale conversion.
std::optional<QString> normalise(const QString &text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && isBlank(text.at(i)))
        ++i;
    while (end > i && isBlank(text.at(end - 1)))
        --end;

    QString out;
    out.reserve(end - i);
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        out += text.at(i++);

    int digits = 0;
    while (i < end && (isDigit(text.at(i)) || text.at(i) == QLatin1Char(','))) {
        if (text.at(i) != QLatin1Char(',')) {
            out += text.at(i);
            ++digits;
        }
        ++i;
    }
    if (i < end && text.at(i) == QLatin1Char('.')) {
        out += text.at(i++);
        while (i < end && isDigit(text.at(i))) {
            out += text.at(i++);
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;

    if (i < end && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        out += QLatin1Char('e');
        ++i;
        if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            out += text.at(i++);
        int expDigits = 0;
        while (i < end && isDigit(text.at(i))) {
            out += text.at(i++);
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
    return out;
}

template <typename T> T toWhole(const QString &text)
{
    const std::optional<double> value = NumericValue(text);
    if (!value)
        throw AppError::typeMismatch();
    const double whole = RoundHalfEven(*value);
    if (whole < double(std::numeric_limits<T>::min()) || whole > double(std::numeric_limits<T>::max()))
        throw AppError::overflow();
    return T(whole);
}

} // namespace

bool IsNumericText(const QString &text)
{
    return NumericValue(text).has_value();
}

std::optional<double> NumericValue(const QString &text)
{
    // Most texts are a few plain digits (every mov and pause line a run plays):
    // read those directly rather than through a copy and the locale.
    if (text.size() <= 9) {
        const bool sign = !text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'));
        qint64 whole = 0;
        qsizetype i = sign ? 1 : 0;
        for (; i < text.size() && isDigit(text.at(i)); ++i)
            whole = whole * 10 + (text.at(i).unicode() - '0');
        if (i == text.size() && i > (sign ? 1 : 0))
            return text.front() == QLatin1Char('-') ? -double(whole) : double(whole);
    }
    const std::optional<QString> plain = normalise(text);
    if (!plain)
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(*plain, &ok);
    // A value beyond the range of a double is not a number the program can use.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

qint16 ToInteger(const QString &text)
{
    return toWhole<qint16>(text);
}

qint32 ToLong(const QString &text)
{
    return toWhole<qint32>(text);
}

std::optional<qint32> WholeNumber32(const QString &text)
{
    try {
        return ToLong(text);
    } catch (const AppError &) {
        return std::nullopt;
    }
}
