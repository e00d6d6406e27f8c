#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>

/// The conventions every Taveloq program keeps on its command line: messages go to stderr as
/// "NAME: text" in plain lines, --help and --version to stdout with status 0, a failure ends with
/// status 1 and a wrong command line with status 2 and the help text.
class CommandLine
{
public:
    /// name: how the program's messages begin, its file name.
    explicit CommandLine(QString name);

    /// The parser, with --help and --version; the program adds its own options.
    QCommandLineParser &Parser() { return m_parser; }
    /// Reads the arguments (the program's path first) and answers --help (followed by helpTail),
    /// --version and a wrong command line. Returns the exit status then; nothing when the program
    /// goes on. Needs no application object.
    std::optional<int> Read(const QStringList &arguments, const QString &helpTail = {});

    void Say(const QString &text) const;
    /// Says text; returns status 1.
    int Fail(const QString &text) const;
    /// Says text and shows the help text; returns status 2.
    int BadUsage(const QString &text) const;

    /// argv as Qt reads it.
    static QStringList Arguments(int argc, char **argv);
    /// The arguments without Qt's own window-system options (-platform NAME, -style NAME, -reverse,
    /// ...), which the application object takes.
    static QStringList WithoutQtOptions(const QStringList &arguments);

private:
    QString helpText() const;

    QString m_name;
    QString m_programPath;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
};

/// Prints text on stderr after "prefix: ", Windows line ends as plain ones.
void PrintMessage(const QString &prefix, const QString &text);
