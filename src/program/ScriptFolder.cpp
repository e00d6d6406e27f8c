#include "program/ScriptFolder.h"

#include "app/FileHelpers.h"
#include "platform/AppError.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>

namespace ScriptFolder {

namespace {

constexpr int kPathNotFound = 76;

// Every entry's name as the system holds it, in byte order; nullopt when the folder cannot be read.
std::optional<QList<QByteArray>> entries(const QString &folder)
{
    DIR *dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return std::nullopt;
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    // The system's order varies; letter-case matches are taken in one order.
    std::sort(names.begin(), names.end());
    return names;
}

bool isFile(const QByteArray &path)
{
    struct stat st = {};
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

QStringList Names(const QString &folder)
{
    const std::optional<QList<QByteArray>> all = entries(folder);
    if (!all)
        throw AppError(kPathNotFound, QStringLiteral("Path not found"));
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    QStringList names;
    for (const QByteArray &entry : *all) {
        const QString name = DecodeLineText(entry);
        // Hidden files stay hidden, as a file listing shows them.
        if (!entry.startsWith('.') && name.endsWith(QLatin1String(".tqs"), Qt::CaseInsensitive) &&
            isFile(prefix + entry))
            names << name;
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QByteArray Exact(const QString &folder, const QString &name)
{
    return QFile::encodeName(folder) + '/' + QFile::encodeName(name);
}

QByteArray Find(const QString &folder, const QString &name)
{
    if (name.isEmpty())
        return {};
    const QByteArray exact = Exact(folder, name);
    if (NativeFileExistsOnDisk(exact))
        return exact;
    if (name.contains(QLatin1Char('/')))
        return {};
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    const bool latin1 = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() <= 0xFF; });
    if (latin1 && NativeFileExistsOnDisk(prefix + name.toLatin1()))
        return prefix + name.toLatin1();
    // Names typed on a system that ignores letter case still find their file.
    for (const QByteArray &entry : entries(folder).value_or(QList<QByteArray>())) {
        if (DecodeLineText(entry).compare(name, Qt::CaseInsensitive) == 0 && NativeFileExistsOnDisk(prefix + entry))
            return prefix + entry;
    }
    return {};
}

} // namespace ScriptFolder
