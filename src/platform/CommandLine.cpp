#include "platform/CommandLine.h"

#include <QCoreApplication>
#include <QTextStream>

#include <utility>

namespace {

// QGuiApplication's and QApplication's own options, with one dash or two; all but the flags take
// a value, in the next argument or after "=".
const QStringList kQtValueOptions = {QStringLiteral("platform"),
                                     QStringLiteral("platformpluginpath"),
                                     QStringLiteral("platformtheme"),
                                     QStringLiteral("plugin"),
                                     QStringLiteral("qwindowgeometry"),
                                     QStringLiteral("geometry"),
                                     QStringLiteral("qwindowtitle"),
                                     QStringLiteral("title"),
                                     QStringLiteral("qwindowicon"),
                                     QStringLiteral("icon"),
                                     QStringLiteral("display"),
                                     QStringLiteral("session"),
                                     QStringLiteral("style"),
                                     QStringLiteral("stylesheet"),
                                     QStringLiteral("name"),
                                     QStringLiteral("qmljsdebugger")};
const QStringList kQtFlags = {QStringLiteral("reverse"), QStringLiteral("nograb"), QStringLiteral("dograb"),
                              QStringLiteral("widgetcount")};

} // namespace

CommandLine::CommandLine(QString name)
    : m_name(std::move(name))
    , m_help(m_parser.addHelpOption())
    , m_version(m_parser.addVersionOption())
{
}

std::optional<int> CommandLine::Read(const QStringList &arguments, const QString &helpTail)
{
    m_programPath = arguments.value(0, m_name);
    if (!m_parser.parse(arguments))
        return BadUsage(m_parser.errorText());
    if (m_parser.isSet(m_help) || m_parser.isSet(QStringLiteral("help-all"))) {
        QTextStream(stdout) << helpText() << helpTail;
        return 0;
    }
    if (m_parser.isSet(m_version)) {
        QTextStream(stdout) << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
                            << Qt::endl;
        return 0;
    }
    return std::nullopt;
}

QString CommandLine::helpText() const
{
    // Without an application object the parser cannot know the program's path.
    return m_parser.helpText().replace(QLatin1String("<executable_name>"), m_programPath);
}

void CommandLine::Say(const QString &text) const
{
    PrintMessage(m_name, text);
}

int CommandLine::Fail(const QString &text) const
{
    Say(text);
    return 1;
}

int CommandLine::BadUsage(const QString &text) const
{
    Say(text);
    QTextStream(stderr) << helpText();
    return 2;
}

QStringList CommandLine::Arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QStringList CommandLine::WithoutQtOptions(const QStringList &arguments)
{
    QStringList kept = arguments.mid(0, 1);
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            return kept + arguments.mid(i);
        if (!argument.startsWith(QLatin1Char('-'))) {
            kept << argument;
            continue;
        }
        const QString name =
            argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);

        if (kQtFlags.contains(name))
            continue;
        if (kQtValueOptions.contains(name)) {
            if (!argument.contains(QLatin1Char('=')))
                ++i; // its value
            continue;
        }
        kept << argument;
    }
    return kept;
}

void PrintMessage(const QString &prefix, const QString &text)
{
    QTextStream(stderr) << prefix << ": " << QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"))
                        << Qt::endl;
}
