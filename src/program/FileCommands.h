#pragma once

#include "program/cMRUFileList.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ProgramCommands;
class ProgramListing;

/// The File menu's commands: New, Open, Save, Save As, the recent files and
/// the question before the window closes. Which file the program names, the
/// title that shows it and the recent-files list are kept here; the menu
/// shows them through the signals.
class FileCommands final : public QObject
{
    Q_OBJECT
public:
    FileCommands(ProgramCommands &commands, ProgramListing &listing, QObject *parent = nullptr);

    const cMRUFileList &RecentFiles() const { return m_recentFiles; }
    /// The program differs from what was last loaded or saved: a step was
    /// made or undone since, deleting every line included.
    bool Modified() const;

    void New();
    void Open();
    void Save();
    /// Asks for a name and saves there; false when cancelled or not written.
    bool SaveAs();
    /// Opens recent-file entry index (1 to 4).
    void OpenRecent(int index);
    /// Opens a file as Open does, without its dialog (the command line).
    void OpenPath(const QString &path);
    /// Opens a file as Open does, its save question first, without its dialog (a dropped file).
    void OpenFile(const QString &path);

    /// Start-up: reads the list from the settings store, gives it room for
    /// four files and shows it with no file marked as open.
    void LoadRecentFiles();
    /// Before the main window closes: true when it may close. A modified
    /// listing asks; Yes saves (Save As without a file) and a cancelled or
    /// failed save keeps the window.
    bool QueryClose();

Q_SIGNALS:
    /// "Taveloq v1.1", or with " - [ walk.tqp ]" once a file is named.
    void titleChanged(const QString &title);
    /// The list changed; entry 1 is the open file when openFileFirst.
    void recentFilesChanged(bool openFileFirst);
    void modifiedChanged(bool modified);

private:
    /// The save question before the listing is replaced; false for Cancel and
    /// for a Yes whose save did not happen.
    bool savePrompt();
    /// After a load: recent files and title when the file was read.
    void afterLoad();
    void remember(const QString &path);
    void setTitle(const QString &path);

    ProgramCommands &m_commands;
    ProgramListing &m_listing;
    cMRUFileList m_recentFiles;
    bool m_modified = false;
};
