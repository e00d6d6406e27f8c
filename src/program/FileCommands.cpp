#include "program/FileCommands.h"

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/cRegistry.h"
#include "program/ProgramCommands.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"

#include <QFileInfo>

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save the current file?");
constexpr int kRecentFileCount = 4;

void saveRecentFiles(const cMRUFileList &files)
{
    cRegistry registry = cRegistry::AppKey();
    files.Save(registry);
}

} // namespace

FileCommands::FileCommands(ProgramCommands &commands, ProgramListing &listing, QObject *parent)
    : QObject(parent)
    , m_commands(commands)
    , m_listing(listing)
{
    connect(&m_commands, &ProgramCommands::programSaved, this, [this](const QString &path) {
        m_listing.SetClean();
        remember(path);
        setTitle(path);
    });
    // A recovered program keeps the recent files as they are.
    connect(&m_commands, &ProgramCommands::programRecovered, this, &FileCommands::setTitle);
    connect(&m_listing, &ProgramListing::historyChanged, this, [this] {
        if (Modified() != m_modified)
            Q_EMIT modifiedChanged(m_modified = !m_modified);
    });
}

bool FileCommands::Modified() const
{
    return !m_listing.IsClean();
}

bool FileCommands::savePrompt()
{
    if (!Modified())
        return true;
    const MsgAnswer answer = ShowUserMessage(kSaveQuestion, MsgButtons::YesNoCancel, MsgIcon::Question);
    if (answer == MsgAnswer::Cancel)
        return false;
    // Yes always names a new file, even when the program has one; a save that
    // did not happen keeps the listing, as Cancel does.
    return answer != MsgAnswer::Yes || SaveAs();
}

void FileCommands::New()
{
    Reported(QStringLiteral("0032"), [&] {
        if (!savePrompt())
            return;
        m_commands.SetCurrentProgramPath(QString());
        m_listing.Reset({});
        setTitle(QString());
        m_listing.Update();
    });
}

void FileCommands::Open()
{
    Reported(QStringLiteral("0033"), [&] {
        if (!savePrompt())
            return;
        // A cancelled dialog leaves the listing without a file: Save stays off until Save As names one.
        m_commands.SetCurrentProgramPath(QString());
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Open;
        request.title = QStringLiteral("Open...");
        request.filter = QStringLiteral("Taveloq Project Files   *.tqp|*.tqp|Taveloq Script Files   *.tqs|*.tqs");
        request.initialFolder = DataPaths::ProgramsFolder();
        const QString path = Services::fileDialogs().choose(request);
        if (path.isEmpty())
            return;
        m_commands.SetCurrentProgramPath(path);
        m_commands.LoadProgramFile();
        afterLoad();
    });
}

void FileCommands::Save()
{
    Reported(QStringLiteral("0037"), [&] { m_commands.SaveProgram(false); });
}

bool FileCommands::SaveAs()
{
    return Reported(QStringLiteral("0054"),
                    [&] {
                        FileDialogRequest request;
                        request.mode = FileDialogRequest::Mode::Save;
                        request.title = QStringLiteral("Save As...");
                        request.filter = QStringLiteral("Taveloq Project Files  *.tqp|*.tqp");
                        request.initialFolder = DataPaths::ProgramsFolder();
                        const QString path = Services::fileDialogs().choose(request);
                        if (path.isEmpty())
                            return false;
                        m_commands.SetCurrentProgramPath(path);
                        // A saved program enters the recent files and the title through programSaved.
                        return m_commands.SaveProgram(false);
                    })
        .value_or(false);
}

void FileCommands::OpenRecent(int index)
{
    Reported(QStringLiteral("0031"), [&] {
        const QString path = m_recentFiles.File(index);
        if (path.isEmpty() || !savePrompt())
            return;
        // A file that has gone stays in the list; its message comes from the load.
        m_commands.SetCurrentProgramPath(path);
        m_commands.LoadProgramFile();
        afterLoad();
    });
}

void FileCommands::OpenPath(const QString &path)
{
    Reported(QStringLiteral("0033"), [&] {
        m_commands.SetCurrentProgramPath(QFileInfo(path).absoluteFilePath());
        m_commands.LoadProgramFile();
        afterLoad();
    });
}

void FileCommands::OpenFile(const QString &path)
{
    if (Reported(QStringLiteral("0033"), [&] { return savePrompt(); }).value_or(false))
        OpenPath(path);
}

void FileCommands::afterLoad()
{
    const QString path = m_commands.CurrentProgramPath();
    if (path.isEmpty())
        return;
    remember(path);
    setTitle(path);
}

void FileCommands::remember(const QString &path)
{
    m_recentFiles.AddFile(path);
    saveRecentFiles(m_recentFiles);
    Q_EMIT recentFilesChanged(true);
}

void FileCommands::setTitle(const QString &path)
{
    Q_EMIT titleChanged(path.isEmpty() ? kUserMessageTitle
                                       : kUserMessageTitle + QStringLiteral(" - [ ") +
                                             path.mid(path.lastIndexOf(QLatin1Char('/')) + 1) + QStringLiteral(" ]"));
}

void FileCommands::LoadRecentFiles()
{
    cRegistry registry = cRegistry::AppKey();
    m_recentFiles.Load(registry);
    m_recentFiles.SetMaxFileCount(kRecentFileCount);
    saveRecentFiles(m_recentFiles);
    // No program is open yet, so entry 1 is not marked.
    Q_EMIT recentFilesChanged(false);
}

bool FileCommands::QueryClose()
{
    // Closing must stay possible when the listing cannot be read.
    return Reported(QStringLiteral("0011"),
                    [&] {
                        if (!Modified())
                            return true;
                        const MsgAnswer answer =
                            ShowUserMessage(kSaveQuestion, MsgButtons::YesNoCancel, MsgIcon::Question);
                        if (answer != MsgAnswer::Yes)
                            return answer != MsgAnswer::Cancel;
                        if (m_commands.CurrentProgramPath().isEmpty())
                            return SaveAs();
                        return m_commands.SaveProgram(false);
                    })
        .value_or(true);
}
