// taveloq-play: plays a program file on the servo board without a desktop.

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "execution/PlaybackThread.h"
#include "execution/sound/QtSoundPlayer.h"
#include "link/PortFrameSink.h"
#include "link/SerialPortMap.h"
#include "platform/AppError.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "program/ProgramFile.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

const char *const kUsage = "usage: taveloq-play [--loop] [--no-center] [--device PATH] PROGRAM.tqp\n"
                           "Plays a program file on the servo board with the properties of its header.\n"
                           "  --loop         play again and again until Ctrl-C\n"
                           "  --no-center    do not centre the servos before playing\n"
                           "  --device PATH  the board's serial device (default: the device mapped to the\n"
                           "                 program's CommPort)\n";

/// The run's messages, on stderr. Every one counts as an error for the exit status.
class StderrMessages final : public IMessageService
{
public:
    int shown = 0;
    MsgAnswer show(const MessageRequest &request) override
    {
        ++shown;
        QTextStream err(stderr);
        err << "taveloq-play: " << QString(request.text).replace(QLatin1String("\r\n"), QLatin1String("\n"))
            << Qt::endl;
        return request.buttons == MsgButtons::YesNo || request.buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                                  : MsgAnswer::Ok;
    }
};

int g_signalPipe[2] = {-1, -1};

void onSignal(int signal)
{
    const char c = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

int fail(const QString &text)
{
    QTextStream(stderr) << "taveloq-play: " << text << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    bool loop = false;
    bool center = true;
    QString device;
    QString programPath;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == QLatin1String("--loop")) {
            loop = true;
        } else if (a == QLatin1String("--no-center")) {
            center = false;
        } else if (a == QLatin1String("--device") && !args.isEmpty()) {
            device = args.takeFirst();
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            QTextStream(stdout) << kUsage;
            return 0;
        } else if (!a.startsWith(QLatin1Char('-')) && programPath.isEmpty()) {
            programPath = a;
        } else {
            QTextStream(stderr) << kUsage;
            return 2;
        }
    }
    if (programPath.isEmpty()) {
        QTextStream(stderr) << kUsage;
        return 2;
    }

    StderrMessages messages;
    Services::setMessages(&messages);

    ParsedProgram program;
    try {
        program = ReadProgramFile(programPath, ProgramProperties{});
    } catch (const AppError &e) {
        return fail(QStringLiteral("cannot read %1: %2").arg(programPath, e.description()));
    }
    if (program.droppedLines) {
        messages.show({kUserMessageTitle, DroppedLinesMessage(programPath), MsgButtons::OkCancel, MsgIcon::Critical});
    }
    // The defaults would play on Comm Port 1, a device nobody chose for this program.
    if (PropertiesInvalid(program.properties))
        return fail(QStringLiteral("%1 has invalid property values; nothing was played").arg(programPath));
    const ProgramProperties &props = program.properties;
    if (ExecutionEngine::SmartRatingMissing(props))
        return fail(QStringLiteral("Your current Smart rating is not set.  Please set this value before continuing."));
    if (program.listing.isEmpty())
        return 0;

    if (device.isEmpty()) {
        const std::optional<qint32> port = WholeNumber32(props.CommPort);
        device = port ? SerialPortMap::DevicePath(*port) : QString();
        if (device.isEmpty())
            return fail(
                QStringLiteral("Comm Port %1 stands for no device; give one with --device").arg(props.CommPort));
    }
    QSerialPort serial(device);
    serial.setBaudRate(qint32(ToLong(props.BaudRate)));
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("cannot open %1: %2").arg(device, serial.errorString()));
    const int fd = ::fcntl(int(serial.handle()), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return fail(QStringLiteral("cannot use %1").arg(device));
    // Written on the playback thread, read once it has ended.
    QString lostReason;
    PortFrameSink sink(fd, [&lostReason](const QString &reason) { lostReason = reason; });
    QtSoundPlayer sound;

    PlaybackThread playback(&sink, &Services::clock(), &sound);

    // Ctrl-C stops at the next yield, as Stop does; a second one ends at once.
    // SIGTERM ends at once, cutting the current wait, as closing the window
    // does: a service manager sends it only once.
    bool interrupted = false;
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&] {
            char buf[16];
            ssize_t n = 0;
            while ((n = ::read(g_signalPipe[0], buf, sizeof buf)) > 0) {
                for (ssize_t i = 0; i < n; ++i) {
                    if (buf[i] == char(SIGTERM) || interrupted)
                        playback.AbortRun();
                    else
                        playback.Mailbox().Post(RunMailbox::Kind::Stop);
                    interrupted = true;
                }
            }
        });
        struct sigaction sa
        {
        };
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGTERM, &sa, nullptr);
    }

    RunRequest request;
    request.items = program.listing;
    request.mode = loop ? ExecutionMode::Loop : ExecutionMode::Once;
    request.center = center;
    request.properties = props;
    request.scriptsFolder = DataPaths::ScriptsFolder();

    QObject::connect(&playback, &QThread::finished, &app, &QCoreApplication::quit);
    playback.StartRun(request);
    app.exec();
    playback.wait();

    // A lost board is an error wherever it happened, even on the last line,
    // after which the run itself ends as completed.
    if (!lostReason.isEmpty())
        return fail(QStringLiteral("the board on %1 stopped taking data: %2").arg(device, lostReason));
    const RunOutcome &outcome = playback.Outcome();
    if (outcome.end == RunOutcome::End::Failed || messages.shown > 0)
        return 1;
    return 0;
}
