#include "platform/mShellExecute.h"

#include "platform/AppError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace mShellExecute {

namespace {

// Errors without a number of their own: the result above the object-error base.
constexpr int kObjectErrorBase = -2147221504;
constexpr int kOwnErrorOffset = 1048;

void record(int result)
{
    RecordError(ErrorSource(), ResultError(result));
}

// A local file's own failure, or kStarted when it can be opened.
int checkLocalFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.dir().exists() ? kFileNotFound : kPathNotFound;
    return info.isReadable() ? kStarted : kAccessDenied;
}

// The handler on PATH: its path, or the failure of finding it.
int findHandler(QString &found)
{
    bool unusable = false;
    const QStringList folders = qEnvironmentVariable("PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &folder : folders) {
        const QFileInfo candidate(folder + QStringLiteral("/xdg-open"));
        if (!candidate.isFile())
            continue;
        if (candidate.isExecutable()) {
            found = candidate.absoluteFilePath();
            return kStarted;
        }
        unusable = true;
    }
    return unusable ? kAccessDenied : kNoAssociation;
}

// xdg-open's exit codes: 2 a file that is not there, 3 no tool to open it with.
int exitResult(int exitCode)
{
    switch (exitCode) {
    case 2:
        return kFileNotFound;
    case 3:
        return kAssociationIncomplete;
    default:
        return kHandlerFailed;
    }
}

// Starts without waiting for the handler to finish (a browser may run as its
// child for as long as the user reads); its exit is recorded when it comes. The
// process is not parented: one still running when the program ends stays running.
bool start(const QString &program, const QStringList &arguments, const QString &folder)
{
    auto *process = new QProcess;
    process->setProgram(program);
    process->setArguments(arguments);
    process->setWorkingDirectory(folder);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process, [process](int exitCode, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && exitCode != 0)
            record(exitResult(exitCode));
        process->deleteLater();
    });
    process->start();
    if (process->waitForStarted())
        return true;
    const bool denied = QFileInfo(program).exists();
    delete process;
    record(denied ? kAccessDenied : kFileNotFound);
    return false;
}

} // namespace

int EffectiveShowMode(const QString &file, int showMode, const QString &parameters, const QString &folder)
{
    if (file.toUpper().contains(QStringLiteral(".EXE")))
        showMode = 0;
    return parameters.isEmpty() && folder.isEmpty() ? 1 : showMode;
}

AppError ResultError(int result)
{
    switch (result) {
    case 0:
    case 8:
        return {7, QStringLiteral("Out of memory")};
    case 2:
        return {53, QStringLiteral("File not found")};
    case 3:
        return {76, QStringLiteral("Path not found")};
    case 5:
        return {75, QStringLiteral("Path/file access error")};
    case 26:
        return {75, QStringLiteral("A sharing violation occurred.")};
    case 28:
        return {286, QStringLiteral("The file could not be opened due to time out.  Please try again in a moment.")};
    case 29:
        return {285, QStringLiteral("The file could not be opened because the DDE transaction failed.  Please try "
                                    "again in a moment.")};
    case 30:
        return {285, QStringLiteral("The file could not be opened because the target application is busy.  Please "
                                    "try again in a moment.")};
    case 32:
        return {48, QStringLiteral("The specified dynamic-link library was not found.")};
    default:
        break;
    }
    const int number = result + kOwnErrorOffset + kObjectErrorBase;
    switch (result) {
    case 11:
        return {number, QStringLiteral("The executable file is invalid or corrupt")};
    case 27:
        return {number, QStringLiteral("This file type does not have a valid file association.")};
    case 31:
        return {number, QStringLiteral("No application is associated with this file type.")};
    default:
        return {number, QStringLiteral("An error occurred occurred whilst trying to open or print the selected file.")};
    }
}

QString ErrorSource()
{
    const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = path.isEmpty() ? QStringLiteral("taveloq") : QFileInfo(path).fileName();
    return name + QStringLiteral(".GShell");
}

bool GShell(const QString &file, int showMode, const QString &parameters, const QString &folder,
            const QString &operation)
{
    // xdg-open has no show modes: the rule is kept for what it says about a program.
    [[maybe_unused]] const int mode = EffectiveShowMode(file, showMode, parameters, folder);
    if (!operation.isEmpty() && operation.compare(QStringLiteral("open"), Qt::CaseInsensitive) != 0) {
        record(kNoAssociation);
        return false;
    }

    // An address with a scheme goes as it is; a path is checked here, where the
    // reason for a failure is still known.
    const QUrl url(file);
    const bool address = url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
    QString target = file;
    if (!address) {
        const QString path = url.isLocalFile() ? url.toLocalFile() : file;
        target = QFileInfo(QDir(folder.isEmpty() ? QDir::currentPath() : folder), path).absoluteFilePath();
        if (const int result = checkLocalFile(target); result != kStarted) {
            record(result);
            return false;
        }
    }

    if (!parameters.isEmpty())
        return start(target, QProcess::splitCommand(parameters), folder);

    QString handler;
    if (const int result = findHandler(handler); result != kStarted) {
        record(result);
        return false;
    }
    return start(handler, {target}, folder);
}

} // namespace mShellExecute
