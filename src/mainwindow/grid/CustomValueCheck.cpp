#include "mainwindow/grid/CustomValueCheck.h"

#include "mainwindow/grid/PropertyGridModel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The text's whole number against the limit's: negative below, 0 equal,
// positive above. A value beyond the 32-bit range cannot be converted; its
// sign tells which side it lies on.
int compareWholeNumbers(const QString &text, const QString &limit)
{
    const qint32 bound = ToLong(limit);
    const std::optional<qint32> whole = WholeNumber32(text);
    if (!whole) {
        const std::optional<double> value = NumericValue(text);
        return value && *value < 0 ? -1 : 1;
    }
    return *whole < bound ? -1 : (*whole > bound ? 1 : 0);
}

} // namespace

std::optional<CustomValueCheck::Rule> CustomValueCheck::RuleForRow(int row, const ProgramProperties &p)
{
    switch (row) {
    case PropertyGridModel::SynchByte:
        return Rule{QStringLiteral("0"), QStringLiteral("255"), false};
    case PropertyGridModel::InterInstructionDelay:
        return Rule{QStringLiteral("0"), QStringLiteral("65534"), false};
    case PropertyGridModel::SmartRating:
        return Rule{QStringLiteral("0"), QStringLiteral("65534"), true};
    case PropertyGridModel::ServoMax:
        return Rule{p.ServoCenter, QStringLiteral("255"), false};
    case PropertyGridModel::ServoMin:
        return Rule{QStringLiteral("0"), p.ServoCenter, false};
    case PropertyGridModel::ServoCenter:
        return Rule{p.ServoMin, p.ServoMax, false};
    default:
        return std::nullopt;
    }
}

bool CustomValueCheck::IsNotNumeric(const QString &text)
{
    return !IsNumericText(text);
}

bool CustomValueCheck::IsTooSmall(const QString &text, const QString &limit)
{
    if (NotNumericFlag)
        return false;
    return Reported(QStringLiteral("0127"), [&] { return compareWholeNumbers(text, limit) < 0; }).value_or(false);
}

bool CustomValueCheck::IsTooLarge(const QString &text, const QString &limit)
{
    if (NotNumericFlag)
        return false;
    return Reported(QStringLiteral("0126"), [&] { return compareWholeNumbers(text, limit) > 0; }).value_or(false);
}

bool CustomValueCheck::HasDecimal(const QString &text)
{
    if (NotNumericFlag)
        return false;
    return text.contains(QLatin1Char('.'));
}

void CustomValueCheck::Check(int row, const QString &text, const ProgramProperties &properties)
{
    const std::optional<Rule> rule = RuleForRow(row, properties);
    if (!rule)
        return;
    NotNumericFlag = IsNotNumeric(text);
    TooSmallFlag = IsTooSmall(text, rule->lower);
    TooLargeFlag = IsTooLarge(text, rule->upper);
    DecimalFlag = rule->decimalAllowed ? false : HasDecimal(text);
}

QString CustomValueCheck::InvalidValueMessage() const
{
    if (!NotNumericFlag && !TooSmallFlag && !TooLargeFlag && !DecimalFlag)
        return {};
    QString message = QStringLiteral("The property value is invalid because:") + kCrLf + kCrLf;
    if (NotNumericFlag)
        message += QStringLiteral("This value must be numeric.") + kCrLf;
    if (TooSmallFlag)
        message += QStringLiteral("This value is too small.") + kCrLf;
    if (TooLargeFlag)
        message += QStringLiteral("This value is too large.") + kCrLf;
    if (DecimalFlag)
        message += QStringLiteral("This value can not contain a decimal.") + kCrLf;
    return message;
}

bool CustomValueCheck::ReportInvalidValue()
{
    const QString message = InvalidValueMessage();
    if (message.isEmpty())
        return false;
    ShowUserMessage(message, MsgButtons::OkCancel, MsgIcon::Critical);
    return true;
}
