#pragma once

#include "app/ProgramProperties.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class ProgramCommands;
class ProgramListing;
class ProgramPropertyStore;

/// Nothing lost when the program dies: the temporary file holds the lines, and
/// a small file beside it ("tq0001.tmp.state") the rest of the unsaved program,
/// its file name and its eight properties, replaced whole whenever they change.
/// The next start on the same temporary file offers them back.
class ProgramRecovery final : public QObject
{
    Q_OBJECT
public:
    /// What a copy that died left of its program.
    struct Program
    {
        QStringList lines;
        ProgramProperties properties;
        QString path;
    };

    ProgramRecovery(ProgramListing &listing, ProgramCommands &commands, ProgramPropertyStore &properties,
                    QObject *parent = nullptr);

    /// Start-up, in place of the listing's CreateTempFile: takes the temporary
    /// file's name and, when a copy that died left a program under it (lines,
    /// or properties other than the defaults), asks whether to recover it. Yes
    /// keeps both files as they are and gives the program for Restore; without
    /// one the temporary file is emptied. Unless `ask`, such a name is passed
    /// over and its program kept for a later start.
    std::optional<Program> TakeTempFile(bool ask = true);
    /// Once the main window is up: the program is back as it was, its file
    /// name in the title, and not saved.
    void Restore(const Program &program);
    /// Shutdown: this file goes with the temporary file, unless a program is
    /// still to come back (the program ended while it asked, or before Restore).
    void RemoveTempFile();

private:
    QString statePath() const;
    void write();

    ProgramListing &m_listing;
    ProgramCommands &m_commands;
    ProgramPropertyStore &m_properties;
    bool m_keeping = false; // the file follows the program
    bool m_waiting = false; // a dead copy's program has not come back yet
    bool m_shutDown = false;
    QByteArray m_written;
};
