#include "link/ServoLink.h"

#include "app/ProgramPropertyStore.h"
#include "link/PortFrameSink.h"
#include "link/SerialPortMap.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"

#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

AppError invalidSettings()
{
    return {LinkError::kInvalidSettings, QStringLiteral("Invalid property value")};
}

QString mappingHint(const QString &port)
{
    return QStringLiteral("Options > Serial Ports... chooses the device Comm Port %1 stands for").arg(port);
}

SystemClock &systemClock()
{
    static SystemClock clock;
    return clock;
}

// A run's sink; while one exists the link's live moves are ignored.
class RunSink final : public IFrameSink
{
public:
    RunSink(std::unique_ptr<IFrameSink> sink, std::atomic<int> &count)
        : m_sink(std::move(sink))
        , m_count(count)
    {
        ++m_count;
    }
    ~RunSink() override { --m_count; }
    void WriteFrame(const ServoFrame &frame) override { m_sink->WriteFrame(frame); }

private:
    std::unique_ptr<IFrameSink> m_sink;
    std::atomic<int> &m_count;
};

} // namespace

ServoLink::ServoLink(const ProgramPropertyStore &properties, QObject *parent)
    : QObject(parent)
    , m_properties(properties)
    , m_clock(&systemClock())
{
    m_paceTimer.setSingleShot(true);
    m_paceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_paceTimer, &QTimer::timeout, this, &ServoLink::sendDue);
    updateFrameTime();
}

void ServoLink::SetClock(IClock *clock)
{
    m_clock = clock ? clock : &systemClock();
}

void ServoLink::updateFrameTime()
{
    const int stopBits = m_stopBits == QSerialPort::TwoStop ? 2 : 1;
    m_pacer.SetFrameTimeNs(LivePacer::FrameTimeNs(m_baud, int(m_dataBits), stopBits));
}

ServoLink::~ServoLink()
{
    Close();
}

void ServoLink::SetCommPort(const QString &port)
{
    if (!IsNumericText(port))
        throw AppError::typeMismatch();
    if (m_port.isOpen())
        throw AppError(LinkError::kPortInUse, QStringLiteral("Port already open"));
    m_commPort = port.trimmed();
}

void ServoLink::SetSettings(const QString &settings)
{
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        throw invalidSettings();

    bool ok = false;
    const qint32 baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0)
        throw invalidSettings();

    // The application only ever sends no parity.
    if (parts[1].trimmed().compare(QLatin1String("N"), Qt::CaseInsensitive) != 0)
        throw invalidSettings();

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        throw invalidSettings();

    QSerialPort::StopBits stop;
    const QString s = parts[3].trimmed();
    if (s == QLatin1String("1"))
        stop = QSerialPort::OneStop;
    else if (s == QLatin1String("2"))
        stop = QSerialPort::TwoStop;
    else
        throw invalidSettings();

    if (m_port.isOpen()) {
        const bool applied =
            m_port.setBaudRate(baud) && m_port.setDataBits(QSerialPort::DataBits(bits)) && m_port.setStopBits(stop);
        if (!applied)
            throw invalidSettings();
    }
    m_baud = baud;
    m_dataBits = QSerialPort::DataBits(bits);
    m_stopBits = stop;
    m_settings = settings;
    updateFrameTime();
}

QString ServoLink::DevicePath() const
{
    const std::optional<qint32> number = WholeNumber32(m_commPort);
    return number ? SerialPortMap::DevicePath(*number) : QString();
}

void ServoLink::Open()
{
    if (m_port.isOpen())
        throw AppError(LinkError::kPortInUse, QStringLiteral("Port already open"));
    const QString path = DevicePath();
    if (path.isEmpty()) {
        throw AppError(LinkError::kInvalidPort,
                       QStringLiteral("Invalid Port Number (Comm Port %1 stands for no device; %2)")
                           .arg(m_commPort, mappingHint(m_commPort)));
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        throw AppError(LinkError::kInvalidPort,
                       QStringLiteral("Invalid Port Number (there is no device %1: is the board plugged in? %2)")
                           .arg(path, mappingHint(m_commPort)));
    }
    // The lock file is named after the device; a stable by-id link and the
    // kernel name of one device must share it.
    m_port.setPortName(info.canonicalFilePath());
    m_port.setBaudRate(m_baud);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(m_dataBits);
    m_port.setStopBits(m_stopBits);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.clearError();
    if (!m_port.open(QIODevice::WriteOnly))
        raiseOpenError(path);
    sendDue();
}

void ServoLink::raiseOpenError(const QString &path)
{
    const QSerialPort::SerialPortError error = m_port.error();
    const QString reason = m_port.errorString();
    m_port.clearError();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        throw AppError(LinkError::kInvalidPort,
                       QStringLiteral("Invalid Port Number (there is no device %1: is the board plugged in? %2)")
                           .arg(path, mappingHint(m_commPort)));
    case QSerialPort::PermissionError: {
        // The port reports a lock held by someone else and a device we may not
        // open the same way; only the second fails the access test.
        const QByteArray native = QFile::encodeName(path);
        if (::faccessat(AT_FDCWD, native.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES) {
            throw AppError(
                LinkError::kOpenFailed,
                QStringLiteral("Permission denied: you may not open %1. Add your user to the group that owns it "
                               "(usually dialout: sudo usermod -aG dialout $USER), then log out and in again.")
                    .arg(path));
        }
        throw AppError(LinkError::kPortInUse,
                       QStringLiteral("Port already open (%1 is in use by another program)").arg(path));
    }
    case QSerialPort::OpenError:
        throw AppError(LinkError::kPortInUse, QStringLiteral("Port already open"));
    default:
        throw AppError(
            LinkError::kOpenFailed,
            QStringLiteral("Cannot open %1: %2. Check that it is a serial port and that the board is connected.")
                .arg(path, reason));
    }
}

void ServoLink::Close()
{
    // Waiting moves stay: the sliders show them, and a port reopened with new
    // settings sends them.
    m_paceTimer.stop();
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

bool ServoLink::PortOpen() const
{
    return m_port.isOpen();
}

void ServoLink::SendServoFrame(int servo, int position)
{
    WriteFrame(BuildServoFrame(m_properties.Properties().SynchByte, servo, position));
}

void ServoLink::WriteFrame(const ServoFrame &frame)
{
    if (!m_port.isOpen())
        throw AppError(LinkError::kPortNotOpen, QStringLiteral("Operation valid only when the port is open"));
    const qint64 now = m_clock->nowNs();
    if (writeOut(frame, now)) {
        m_pacer.NoteSent(frame, now);
        sendDue(); // the servo's waiting frame went, or the line is busy longer
    }
}

bool ServoLink::writeOut(const ServoFrame &frame, qint64 nowNs)
{
    // Straight to the descriptor rather than through QSerialPort's buffer:
    // the bytes leave now, not at the next turn of the event loop, and a full
    // queue (EAGAIN, which QSerialPort reports as the same ResourceError as an
    // unplugged device) can be told from a board that is gone.
    const QString failure = PortFrameSink::WriteFrameTo(int(m_port.handle()), frame);
    if (!failure.isEmpty()) {
        HandleBoardLost(failure);
        return false;
    }
    Q_EMIT frameSent(frame.servo, frame.position, nowNs);
    return true;
}

bool ServoLink::MoveLive(int servo, int position)
{
    const ServoFrame frame = BuildServoFrame(m_properties.Properties().SynchByte, servo, position);
    if (liveBlocked())
        return false;
    if (!m_port.isOpen())
        throw AppError(LinkError::kPortNotOpen, QStringLiteral("Operation valid only when the port is open"));
    m_pacer.Offer(frame);
    sendDue();
    return true;
}

void ServoLink::LetLiveMovesThrough(bool through)
{
    m_liveThrough = through;
}

void ServoLink::sendDue()
{
    // The timer counts whole milliseconds and fires a little late. Rounding
    // every wait up would cost a quarter of the line at 9600 baud, and a fader
    // sending at 50 Hz would fall behind by that each frame; instead a frame
    // may leave up to 2 ms early, which only lets it wait that long in the
    // driver.
    constexpr qint64 kEarlyNs = 2'000'000;
    const qint64 now = m_clock->nowNs();
    while (m_port.isOpen() && !liveBlocked()) {
        const std::optional<ServoFrame> frame = m_pacer.TakeDue(now, kEarlyNs);
        if (!frame || !writeOut(*frame, now))
            break;
    }
    const std::optional<qint64> due = m_pacer.NextDueNs();
    if (!due || !m_port.isOpen() || liveBlocked()) {
        m_paceTimer.stop();
        return;
    }
    m_paceTimer.start(int(std::max<qint64>(0, (*due - kEarlyNs - now + 999'999) / 1'000'000)));
}

std::unique_ptr<IFrameSink> ServoLink::PlaybackSink()
{
    if (!m_port.isOpen())
        return nullptr;
    // Live moves still waiting would fight the run's.
    m_pacer.Clear();
    m_paceTimer.stop();
    const int fd = ::fcntl(int(m_port.handle()), F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        throw AppError(LinkError::kBoardLost,
                       QStringLiteral("Device I/O error (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
    // The sink reports from the playback thread; the link handles it on its own.
    auto sink = std::make_unique<PortFrameSink>(fd, [this](const QString &reason) {
        QMetaObject::invokeMethod(
            this, [this, reason] { HandleBoardLost(reason); }, Qt::QueuedConnection);
    });
    return std::make_unique<RunSink>(std::move(sink), m_runSinks);
}

void ServoLink::HandleBoardLost(const QString &reason)
{
    if (!m_port.isOpen() || m_handlingLoss)
        return;
    m_handlingLoss = true;
    const QString path = DevicePath();
    Close();
    Q_EMIT BoardLost();
    ShowUserMessage(QStringLiteral("The servo board on Comm Port %1 (%2) stopped taking data: %3.\r\n"
                                   "Taveloq is now in Offline mode. Check the cable and the board's power, "
                                   "then set CommPort Status to Online.")
                        .arg(m_commPort, path, reason),
                    MsgButtons::Ok, MsgIcon::Critical);
    m_handlingLoss = false;
}
