#include "app/FileHelpers.h"

#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

AppError errorFromErrno(int err, const QString &path)
{
    if (err == ENOSPC || err == EFBIG || err == EDQUOT)
        return AppError::diskFull();
    if (err == ENOENT)
        return AppError(
            ErrorNumber::kPathFileAccess,
            QStringLiteral("Path/File access error (%1: %2)").arg(path, QString::fromLocal8Bit(std::strerror(err))));
    return AppError::pathFileAccess(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err)));
}

} // namespace

QByteArray ReadWholeFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        throw AppError::fileNotFound();
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        throw errorFromErrno(errno ? errno : EACCES, path);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError::pathFileAccess(path + QStringLiteral(": ") + file.errorString());
    return bytes;
}

void WriteWholeFileBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Replacing a read-only file is what the program has always done.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw errorFromErrno(errno ? errno : EACCES, path);
    if (!bytes.isEmpty()) {
        errno = 0;
        if (file.write(bytes) != bytes.size()) {
            const int err = errno;
            file.cancelWriting();
            throw errorFromErrno(err ? err : EIO, path);
        }
    }
    errno = 0;
    if (!file.commit())
        throw errorFromErrno(errno ? errno : EIO, path);
}

QString ReadWholeFile(const QString &path)
{
    try {
        return QString::fromLatin1(ReadWholeFileBytes(path));
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0140"), e);
        return {};
    }
}

bool WriteWholeFile(const QString &path, const QString &text)
{
    try {
        WriteWholeFileBytes(path, text.toLatin1());
        return true;
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0141"), e);
        return false;
    }
}

bool FileExistsOnDisk(const QString &path)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return false;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    return true;
}
