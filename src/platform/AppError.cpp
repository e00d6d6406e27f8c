#include "platform/AppError.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex g_recordMutex;
RecordedError g_recorded;

} // namespace

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

void RecordError(const QString &source, const AppError &error)
{
    qInfo().noquote() << source + QStringLiteral(": error") << error.number() << error.description();
    const QMutexLocker lock(&g_recordMutex);
    g_recorded = {source, error.number(), error.description()};
}

RecordedError LastRecordedError()
{
    const QMutexLocker lock(&g_recordMutex);
    return g_recorded;
}

void ClearRecordedError()
{
    const QMutexLocker lock(&g_recordMutex);
    g_recorded = {};
}
