#include "platform/Services.h"

#include "platform/Clock.h"
#include "platform/CommandLine.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"

namespace {

// No dialog can be shown without a UI: behaves as a cancelled dialog.
class NoFileDialogs final : public IFileDialogService
{
public:
    QString choose(const FileDialogRequest &) override { return {}; }
};

// Used until an entry point installs its own: prints, so no message is lost.
StderrMessageService g_stderrMessages;
NoFileDialogs g_noFileDialogs;
SystemClock g_systemClock;

IMessageService *g_messages = &g_stderrMessages;
IFileDialogService *g_fileDialogs = &g_noFileDialogs;
IClock *g_clock = &g_systemClock;

} // namespace

namespace Services {

IMessageService &messages()
{
    return *g_messages;
}
IFileDialogService &fileDialogs()
{
    return *g_fileDialogs;
}
IClock &clock()
{
    return *g_clock;
}

void setMessages(IMessageService *service)
{
    g_messages = service ? service : &g_stderrMessages;
}
void setFileDialogs(IFileDialogService *service)
{
    g_fileDialogs = service ? service : &g_noFileDialogs;
}
void setClock(IClock *clock)
{
    g_clock = clock ? clock : &g_systemClock;
}

} // namespace Services

MsgAnswer StderrMessageService::show(const MessageRequest &request)
{
    ++shown;
    PrintMessage(m_prefix.isEmpty() ? request.title : m_prefix, request.text);

    return DefaultAnswer(request.buttons);
}

MsgAnswer DefaultAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::No;
    default:
        return MsgAnswer::Ok;
    }
}

MsgAnswer ShowUserMessage(const QString &text, MsgButtons buttons, MsgIcon icon)
{
    return Services::messages().show({kUserMessageTitle, text, buttons, icon});
}

QStringList ToQtNameFilters(const QString &pipeFilter)
{
    QStringList out;
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" meant every file; on Linux many files have no dot at all.
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        // A description that names its pattern already, "Programs (*.tqp)", is shown once.
        QString description = parts.at(i).section(QLatin1Char('('), 0, 0).trimmed();
        // So is one that ends with it, "WAV Files    *.wav": Qt shows the pattern in brackets.
        const QString ownPattern = parts.at(i + 1).trimmed();
        if (description.endsWith(ownPattern))
            description = description.chopped(ownPattern.size()).trimmed();
        out << description + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}
