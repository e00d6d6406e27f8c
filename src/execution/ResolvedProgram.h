#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

/// A listing with every script it can reach read beforehand, so that a run
/// reads no file while frames are due. Scripts are found by the name their
/// lines write (the text after the line's first space); a script that is not
/// there or cannot be read keeps what the run reports when it reaches it. The
/// nesting limit depends on the path a run takes, so the run itself counts it.
/// Copies share their data.
class ResolvedProgram
{
public:
    /// A script as a run finds it.
    struct Script
    {
        enum class State { Found, Missing, Unreadable };
        State state = State::Missing;
        QString name;        ///< as the script line writes it
        QStringList lines;   ///< Found: every line of the file, unfiltered
        int errorNumber = 0; ///< Unreadable: why the file could not be read
        QString errorDescription;
        QString path; ///< the file found, or where it was looked for
    };

    ResolvedProgram() = default;
    /// Reads every script the items reach, directly or through other scripts,
    /// from scriptsFolder; each file once.
    ResolvedProgram(const QStringList &items, const QString &scriptsFolder);

    const QStringList &Items() const { return m_items; }
    const QString &ScriptsFolder() const { return m_scriptsFolder; }
    /// The script a script line names; null for a name outside the program
    /// (a line that names no script).
    const Script *FindScript(const QString &name) const;
    int ScriptCount() const { return int(m_scripts.size()); }
    /// The files of every script the items reach, found or not: what the run depends on.
    QStringList ScriptPaths() const;

    /// The name a line runs as a script, as the engine reads script lines; none when it is no script line.
    static std::optional<QString> ScriptNameOf(const QString &line);

private:
    QStringList m_items;
    QString m_scriptsFolder;
    QList<Script> m_scripts;
    QHash<QString, qsizetype> m_byName;
};
