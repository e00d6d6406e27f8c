#pragma once

#include <QString>

class AppError;

/// Hands a document or a web address to the desktop's default handler
/// (xdg-open). Failures are recorded (RecordError), never shown.
namespace mShellExecute {

/// The platform's answers, numbered as the error table counts them: 0 to 32
/// is a failure, anything above a handler that took the file.
enum Result : int {
    kHandlerFailed = 1,          // the handler ran and gave up, without a reason of its own
    kFileNotFound = 2,           // the file is not there
    kPathNotFound = 3,           // nor is its folder
    kAccessDenied = 5,           // the file or the handler may not be read or run
    kAssociationIncomplete = 27, // the handler has nothing that opens this kind of file
    kNoAssociation = 31,         // no handler at all
    kStarted = 33,
};

/// The show mode the file is opened with: a program (".exe" anywhere in the
/// name, any case) starts hidden; without parameters and folder anything
/// opens in a normal window (1); otherwise the mode asked for.
int EffectiveShowMode(const QString &file, int showMode, const QString &parameters, const QString &folder);

/// The error number and text of a failed result (0 to 32).
AppError ResultError(int result);

/// The error source of the shell open: the executable's name and ".GShell".
QString ErrorSource();

/// Opens `file` (a path or an address with a scheme) with `operation` ("open"
/// or empty; another verb has no handler here). With parameters the file is
/// started as a program with them; `folder` is the folder it starts in. True
/// when the handler was started; it is not waited for, and a failure it ends
/// with later is recorded then.
bool GShell(const QString &file, int showMode = 10, const QString &parameters = {}, const QString &folder = {},
            const QString &operation = QStringLiteral("open"));

} // namespace mShellExecute
