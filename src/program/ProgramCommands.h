#pragma once

#include "app/ProgramProperties.h"

#include <QObject>
#include <QString>
#include <QStringList>

class ProgramListing;
class ProgramPropertyStore;

/// The commands that load and save program files, with their messages, and
/// the path of the program in hand. New, Open, Save As and the recent files
/// build on these.
class ProgramCommands final : public QObject
{
    Q_OBJECT
public:
    ProgramCommands(ProgramPropertyStore &properties, ProgramListing &listing, QObject *parent = nullptr);

    QString CurrentProgramPath() const { return m_currentProgramPath; }
    void SetCurrentProgramPath(const QString &path);

    /// Reads the file named by CurrentProgramPath into the program: the
    /// properties into their store, the lines into the temporary file and the
    /// listing. Leaves CurrentProgramPath empty when nothing was loaded.
    void LoadProgramFile();

    /// Writes the listing to CurrentProgramPath, with the header unless
    /// asScript. Returns false when nothing was written (the failure has been
    /// reported).
    bool SaveProgram(bool asScript);

    /// A program left by a copy that died comes back: its properties, its
    /// lines (marked as not saved) and its file name. Failures are reported
    /// with the start-up's routine code.
    void Recover(const QStringList &lines, const ProgramProperties &properties, const QString &path);

Q_SIGNALS:
    /// A program (not a script) reached the disk: recent files, title.
    void programSaved(const QString &path);
    /// A file was read into the program.
    void programLoaded(const QString &path);
    /// A program came back after a crash (path: its file, or empty).
    void programRecovered(const QString &path);
    /// CurrentProgramPath changed (empty: the listing has no file).
    void currentProgramPathChanged(const QString &path);

private:
    ProgramPropertyStore &m_properties;
    ProgramListing &m_listing;
    QString m_currentProgramPath;
};
