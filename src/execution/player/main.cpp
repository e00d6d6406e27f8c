// taveloq-play: plays a program file on the servo board without a desktop.

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "execution/PlaybackThread.h"
#include "execution/ProgramTrace.h"
#include "execution/sound/QtSoundPlayer.h"
#include "link/PortFrameSink.h"
#include "link/SerialPortMap.h"
#include "platform/AppError.h"
#include "platform/CommandLine.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "platform/SignalWatcher.h"
#include "platform/Version.h"
#include "program/ProgramFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>

namespace {

/// How often a lost board's device path is looked at while waiting for it.
constexpr int kReconnectPollMs = 200;

/// The name that comes back with a replugged board: a link given as such, or
/// the /dev/serial/by-id/ link that points at the given device (the kernel may
/// give the board another ttyUSB number when it returns).
QString StableDeviceName(const QString &device)
{
    const QFileInfo given(device);
    if (given.isSymLink())
        return device;
    const QString real = given.canonicalFilePath();
    const QFileInfoList links = QDir(QStringLiteral("/dev/serial/by-id"))
                                    .entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &link : links) {
        if (!real.isEmpty() && link.canonicalFilePath() == real)
            return link.absoluteFilePath();
    }
    return device;
}

/// Opens the board with the program's line settings; returns a descriptor of
/// its own for the frame sink, or -1 with the reason in error.
int OpenBoard(QSerialPort &serial, const QString &device, const ProgramProperties &props, QString &error)
{
    serial.close();
    serial.setPortName(device);
    serial.setBaudRate(qint32(ToLong(props.BaudRate)));
    serial.setDataBits(QSerialPort::Data8);
    serial.setParity(QSerialPort::NoParity);
    serial.setStopBits(QSerialPort::OneStop);
    serial.setFlowControl(QSerialPort::NoFlowControl);
    if (!serial.open(QIODevice::WriteOnly)) {
        error = serial.errorString();
        return -1;
    }
    const int fd = ::fcntl(int(serial.handle()), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        error = QString::fromLocal8Bit(std::strerror(errno));
    return fd;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("taveloq-play"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    CommandLine line(QStringLiteral("taveloq-play"));
    QCommandLineParser &parser = line.Parser();
    parser.setApplicationDescription(
        QStringLiteral("Plays a program file on the servo board with the properties of its header."));
    const QCommandLineOption loopOption(QStringLiteral("loop"),
                                        QStringLiteral("Play again and again until Ctrl-C or SIGTERM."));
    const QCommandLineOption noCenterOption(QStringLiteral("no-center"),
                                            QStringLiteral("Do not centre the servos before playing."));
    const QCommandLineOption deviceOption(
        QStringLiteral("device"),
        QStringLiteral("The board's serial device (default: the device mapped to the program's CommPort)."),
        QStringLiteral("PATH"));
    const QCommandLineOption reconnectOption(
        QStringLiteral("reconnect"), QStringLiteral("When the board is lost, wait for it to come back (by its "
                                                    "/dev/serial/by-id/ name or the given path), centre the servos "
                                                    "and play the program again from its first line."));
    const QCommandLineOption traceOption(
        QStringLiteral("trace"),
        QStringLiteral("Print the run as CSV (time_ms,event,servo,value,line,source) instead of playing it; "
                       "opens no device. With --loop, one pass."));
    parser.addOptions({loopOption, noCenterOption, deviceOption, reconnectOption, traceOption});
    parser.addPositionalArgument(QStringLiteral("PROGRAM.tqp"), QStringLiteral("The program file to play."));

    if (const auto status = line.Read(app.arguments()))
        return *status;
    if (parser.positionalArguments().size() != 1)
        return line.BadUsage(QStringLiteral("give one program file"));
    const QString programPath = parser.positionalArguments().constFirst();
    const bool reconnect = parser.isSet(reconnectOption);
    QString device = parser.value(deviceOption);

    // One plain line each, so a service's journal reads as a terminal does; every box counts as an
    // error for the exit status.
    StderrMessageService messages(QStringLiteral("taveloq-play"));
    Services::setMessages(&messages);

    ParsedProgram program;
    try {
        program = ReadProgramFile(programPath, ProgramProperties{});
    } catch (const AppError &e) {
        return line.Fail(QStringLiteral("cannot read %1: %2").arg(programPath, e.description()));
    }
    if (program.droppedLines) {
        messages.show({kUserMessageTitle, DroppedLinesMessage(programPath), MsgButtons::OkCancel, MsgIcon::Critical});
    }
    // The defaults would play on Comm Port 1, a device nobody chose for this program.
    if (PropertiesInvalid(program.properties))
        return line.Fail(QStringLiteral("%1 has invalid property values; nothing was played").arg(programPath));
    const ProgramProperties &props = program.properties;
    if (ExecutionEngine::SmartRatingMissing(props))
        return line.Fail(
            QStringLiteral("Your current Smart rating is not set.  Please set this value before continuing."));
    RunRequest request;
    request.program = ResolvedProgram(program.listing, DataPaths::ScriptsFolder());
    request.mode = parser.isSet(loopOption) ? ExecutionMode::Loop : ExecutionMode::Once;
    request.center = !parser.isSet(noCenterOption);
    request.properties = props;

    if (parser.isSet(traceOption)) {
        // An empty listing plays nothing, not even the centring: it ends at once.
        ProgramTrace trace;
        if (program.listing.isEmpty())
            trace.events.append(TraceEvent{});
        else
            trace = ProgramTrace::Run(request);
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !trace.WriteCsv(out) || !out.flush())
            return line.Fail(QStringLiteral("cannot write the trace: %1").arg(out.errorString()));
        if (trace.truncated)
            return line.Fail(QStringLiteral("the trace stops after %1 events").arg(ProgramTrace::kDefaultMaxEvents));
        return 0;
    }
    if (program.listing.isEmpty())
        return 0;

    if (device.isEmpty()) {
        const std::optional<qint32> port = WholeNumber32(props.CommPort);
        device = port ? SerialPortMap::DevicePath(*port) : QString();
        if (device.isEmpty())
            return line.Fail(
                QStringLiteral("Comm Port %1 stands for no device; give one with --device").arg(props.CommPort));
    }
    // Resolved now, while the board is there to be matched with its stable name.
    if (reconnect)
        device = StableDeviceName(device);
    QSerialPort serial;
    QString openError;
    int fd = OpenBoard(serial, device, props, openError);
    if (fd < 0)
        return line.Fail(QStringLiteral("cannot open %1: %2").arg(device, openError));
    QtSoundPlayer sound;

    // Ctrl-C stops at the next yield, as Stop does; a second one ends at once.
    // SIGTERM ends at once, cutting the current wait, as closing the window
    // does: a service manager sends it only once. Either ends a wait for a
    // lost board.
    PlaybackThread *playing = nullptr;
    QEventLoop *waitingForBoard = nullptr;
    bool interrupted = false;
    const SignalWatcher watcher({SIGINT, SIGTERM}, [&](int signal) {
        if (playing && (signal == SIGTERM || interrupted))
            playing->AbortRun();
        else if (playing)
            playing->Mailbox().Post(RunMailbox::Kind::Stop);
        if (waitingForBoard)
            waitingForBoard->quit();
        interrupted = true;
    });

    for (;;) {
        // Written on the playback thread, read once it has ended.
        QString lostReason;
        RunOutcome outcome;
        messages.shown = 0;
        {
            PortFrameSink sink(fd, [&lostReason](const QString &reason) { lostReason = reason; });
            PlaybackThread playback(&sink, &Services::clock(), &sound);
            playing = &playback;
            QEventLoop running;
            QObject::connect(&playback, &QThread::finished, &running, &QEventLoop::quit);
            playback.StartRun(request);
            running.exec();
            playback.wait();
            playing = nullptr;
            outcome = playback.Outcome();
        }
        fd = -1; // closed with the sink
        serial.close();

        // A lost board is an error wherever it happened, even on the last line,
        // after which the run itself ends as completed.
        const QString lost = QStringLiteral("the board on %1 stopped taking data: %2").arg(device, lostReason);
        if (lostReason.isEmpty()) {
            if (outcome.end == RunOutcome::End::Failed || messages.shown > 0)
                return 1;
            return 0;
        }
        if (!reconnect || interrupted)
            return line.Fail(lost);

        line.Say(lost + QStringLiteral("; waiting for it to come back"));
        QEventLoop waiting;
        QTimer poll;
        poll.setInterval(kReconnectPollMs);
        QObject::connect(&poll, &QTimer::timeout, &waiting, [&] {
            if (QFileInfo::exists(device) && (fd = OpenBoard(serial, device, props, openError)) >= 0)
                waiting.quit();
        });
        poll.start();
        waitingForBoard = &waiting;
        if (!interrupted)
            waiting.exec();
        waitingForBoard = nullptr;
        if (fd < 0)
            return 0;
        line.Say(QStringLiteral("the board on %1 is back; playing from the first line").arg(device));
    }
}
