#include "app/FileHelpers.h"

#include "platform/AppError.h"
#include "platform/ErrorReport.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

// The bytes as UTF-8, or nothing when they are not valid UTF-8.
std::optional<QString> fromUtf8(QByteArrayView bytes)
{
    // The caller has dropped the leading mark; one further in is content.
    // Stateless, so a sequence cut off at the end is an error, not held back.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isReadOnly(const QByteArray &native, const struct stat &st)
{
    // The owner's own rights would not stop root: the mode bits decide too.
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(native.constData(), W_OK) != 0;
}

} // namespace

QString DecodeFileText(const QByteArray &bytes)
{
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    if (std::optional<QString> whole = fromUtf8(rest))
        return *whole;
    // Mixed files (a Latin-1 program edited on a UTF-8 system): each line on its own.
    QString text;
    text.reserve(rest.size());
    qsizetype start = 0;
    while (start < rest.size()) {
        qsizetype end = start;
        while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n')
            ++end;
        text += DecodeLineText(rest.sliced(start, end - start));
        while (end < rest.size() && (rest[end] == '\r' || rest[end] == '\n'))
            text += QLatin1Char(rest[end++]);
        start = end;
    }
    return text;
}

QString DecodeLineText(QByteArrayView line)
{
    const std::optional<QString> utf8 = fromUtf8(line);
    return utf8 ? *utf8 : QString::fromLatin1(line);
}

QByteArray EncodeFileText(const QString &text)
{
    return text.toUtf8();
}

QByteArray ReadWholeFileBytes(const QString &path)
{
    return ReadNativeFileBytes(QFile::encodeName(path));
}

QByteArray ReadNativeFileBytes(const QByteArray &native)
{
    const QString path = QFile::decodeName(native);
    // Non-blocking, so that a FIFO is refused below instead of waiting for a writer.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT || err == ENOTDIR)
            throw AppError::fileNotFound();
        throw errorFromErrno(err, path);
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw AppError::notRegularFile(path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw AppError::pathFileAccess(path + QStringLiteral(": ") + file.errorString());
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw AppError::pathFileAccess(path + QStringLiteral(": ") + file.errorString());
    return bytes;
}

namespace {

/// The name a save's new content has for a moment beside the file.
QByteArray SavingName(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    return target.left(slash + 1) + '.' + target.mid(slash + 1) + ".saving";
}

} // namespace

void WriteWholeFileBytes(const QString &path, const QByteArray &bytes)
{
    QByteArray native = QFile::encodeName(path);
    struct stat st = {};
    // stat follows a link: a link to a device is refused, not replaced by a file.
    const bool exists = ::stat(native.constData(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode))
            throw AppError::notRegularFile(path);
        if (isReadOnly(native, st))
            throw errorFromErrno(EACCES, path);
        // Through a link, the file it names is replaced and the link kept.
        native = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    }
    // The new content is written to an unnamed file in the same folder, which
    // gets the one name SavingName only to be renamed over the file. A save
    // killed in between leaves that name, and the next save takes it over;
    // QSaveFile's random names for the same moment would be left for good.
    const qsizetype slash = native.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : native.left(slash);
    const QByteArray saving = SavingName(native);
    ::unlink(saving.constData());
    int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    bool named = fd < 0; // a file system without unnamed files: written under the name itself
    if (named)
        fd = ::open(saving.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        throw errorFromErrno(errno ? errno : EACCES, path);
    const auto failed = [&](int err) {
        ::close(fd);
        if (named)
            ::unlink(saving.constData());
        return errorFromErrno(err ? err : EIO, path);
    };
    if (exists)
        (void)::fchmod(fd, st.st_mode & 07777);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR)
            throw failed(errno);
        done += qMax<ssize_t>(n, 0);
    }
    if (::fdatasync(fd) != 0)
        throw failed(errno);
    if (!named) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, saving.constData(), AT_SYMLINK_FOLLOW) != 0)
            throw failed(errno);
        named = true;
    }
    if (::close(fd) != 0 || ::rename(saving.constData(), native.constData()) != 0) {
        const int err = errno;
        ::unlink(saving.constData());
        throw errorFromErrno(err ? err : EIO, path);
    }
}

QString ReadWholeFile(const QString &path)
{
    return Reported(QStringLiteral("0140"), [&] { return DecodeFileText(ReadWholeFileBytes(path)); })
        .value_or(QString());
}

bool WriteWholeFile(const QString &path, const QString &text)
{
    return Reported(QStringLiteral("0141"), [&] { WriteWholeFileBytes(path, EncodeFileText(text)); });
}

bool FileExistsOnDisk(const QString &path)
{
    return !path.isEmpty() && NativeFileExistsOnDisk(QFile::encodeName(path));
}

bool NativeFileExistsOnDisk(const QByteArray &native)
{
    struct stat st = {};
    if (native.isEmpty() || ::stat(native.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    // Opening a FIFO could block; its reader refuses it with a clear error.
    if (!S_ISREG(st.st_mode))
        return true;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}
