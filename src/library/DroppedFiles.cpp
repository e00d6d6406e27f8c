#include "library/DroppedFiles.h"

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "library/ScriptLibrary.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "program/FileCommands.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramListing.h"
#include "program/ScriptFolder.h"

#include <QDir>
#include <QFileInfo>

#include <unistd.h>

namespace {

const QString kRoutineDrop = QStringLiteral("MDIForm1_OLEDragDrop");

void refuse(const QString &name)
{
    ShowUserMessage(QStringLiteral("The file ( ") + name +
                        QStringLiteral(" ) cannot be dropped here.\r\nOnly program (.tqp), script (.tqs) and WAV "
                                       "(.wav) files can."),
                    MsgButtons::OkCancel, MsgIcon::Information);
}

// A line the listing keeps as it is: one line (a name may hold a line end), accepted by the reader.
bool keptAsLine(const QString &line)
{
    return !line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')) && IsAcceptedInstructionLine(line);
}

// The script `file` copied into the Scripts folder as `name`, when the user
// wants it there; false when not (or the copy failed and was reported).
bool copyScript(const QFileInfo &file, const QString &name, const QString &folder)
{
    if (ShowUserMessage(QStringLiteral("The Script File ( ") + name +
                            QStringLiteral(" ) is not in the Scripts folder.\r\nWould you like to copy it there?"),
                        MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return false;
    // As Save Script As: a file spelt otherwise (letter case, Latin-1 bytes)
    // is the same script to the user, asked about, and gone once replaced.
    const QByteArray replaced = ScriptFolder::Find(folder, name);
    if (!replaced.isEmpty() && ShowUserMessage(ScriptLibrary::OverwriteQuestion(name), MsgButtons::YesNoCancel,
                                               MsgIcon::Question) != MsgAnswer::Yes)
        return false;
    WriteWholeFileBytes(folder + QLatin1Char('/') + name, ReadWholeFileBytes(file.absoluteFilePath()));
    if (!replaced.isEmpty() && replaced != ScriptFolder::Exact(folder, name))
        ::unlink(replaced.constData());
    return true;
}

void takeFile(const QUrl &url, FileCommands &files, ProgramListing &listing)
{
    const QFileInfo file(url.toLocalFile());
    if (!url.isLocalFile() || !file.isFile()) {
        refuse(url.isLocalFile() ? file.fileName() : url.toDisplayString());
        return;
    }
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("tqp")) {
        files.OpenFile(file.absoluteFilePath());
        return;
    }
    if (suffix == QLatin1String("wav") && keptAsLine(QStringLiteral("WAV ") + file.absoluteFilePath())) {
        Reported(QStringLiteral("InsertWAV"), [&] {
            listing.AppendLine(QStringLiteral("WAV ") + file.absoluteFilePath(), QStringLiteral("Insert WAV"));
        });
        return;
    }
    const QString name = ScriptFileName(file.fileName());
    if (suffix != QLatin1String("tqs") || !keptAsLine(QStringLiteral("Script ") + name)) {
        refuse(file.fileName());
        return;
    }
    Reported(kRoutineDrop, [&] {
        const QString folder = DataPaths::ScriptsFolder();
        if (file.absoluteDir().canonicalPath() != QDir(folder).canonicalPath() && !copyScript(file, name, folder))
            return;
        listing.AppendLine(QStringLiteral("Script ") + name, QStringLiteral("Insert Script"));
    });
}

} // namespace

void TakeDroppedFiles(const QList<QUrl> &urls, FileCommands &files, ProgramListing &listing)
{
    for (const QUrl &url : urls)
        takeFile(url, files, listing);
}
