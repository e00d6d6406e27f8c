#include "platform/AppError.h"

AppError::AppError(int number, QString description)
    : m_number(number)
    , m_description(std::move(description))
    , m_what(QStringLiteral("%1: %2").arg(m_number).arg(m_description).toUtf8())
{
}

AppError AppError::invalidArgument()
{
    return {ErrorNumber::kInvalidArgument, QStringLiteral("Invalid procedure call or argument")};
}

AppError AppError::typeMismatch()
{
    return {ErrorNumber::kTypeMismatch, QStringLiteral("Type mismatch")};
}

AppError AppError::overflow()
{
    return {ErrorNumber::kOverflow, QStringLiteral("Overflow")};
}

AppError AppError::subscriptOutOfRange()
{
    return {ErrorNumber::kSubscriptOutOfRange, QStringLiteral("Subscript out of range")};
}

AppError AppError::fileNotFound()
{
    return {ErrorNumber::kFileNotFound, QStringLiteral("File not found")};
}

AppError AppError::pathFileAccess(const QString &detail)
{
    QString text = QStringLiteral("Path/File access error");
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return {ErrorNumber::kPathFileAccess, text};
}

AppError AppError::diskFull()
{
    return {ErrorNumber::kDiskFull, QStringLiteral("Disk full")};
}

AppError AppError::notRegularFile(const QString &path)
{
    return pathFileAccess(path + QStringLiteral(": not a regular file"));
}
