#include "surface/OscSurface.h"

#include "app/ProgramPropertyStore.h"
#include "link/ServoLink.h"
#include "platform/AppError.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"

#include <lo/lo.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A slot: 0 when empty; else bit 63 set, bit 32 for a float, the value's 32 bits below.
constexpr quint64 kFull = quint64(1) << 63;
constexpr quint64 kFloat = quint64(1) << 32;

// "/servo/N" with N written plainly (no sign, no leading zero): the servo, else -1.
int servoOf(const char *path)
{
    static constexpr char kPrefix[] = "/servo/";
    if (std::strncmp(path, kPrefix, sizeof kPrefix - 1) != 0)
        return -1;
    const char *n = path + sizeof kPrefix - 1;
    const size_t len = std::strlen(n);
    if (len == 0 || len > 2 || (len == 2 && n[0] == '0'))
        return -1;
    int servo = 0;
    for (size_t i = 0; i < len; ++i) {
        if (n[i] < '0' || n[i] > '9')
            return -1;
        servo = servo * 10 + (n[i] - '0');
    }
    return servo < kServoCount ? servo : -1;
}

void ignoreError(int, const char *, const char *)
{
    // A malformed packet: liblo drops it; a flood of them must not print or block.
}

} // namespace

struct OscReceiver
{
    static int message(const char *path, const char *types, lo_arg **argv, int argc, lo_message, void *user)
    {
        const int servo = servoOf(path);
        if (servo < 0 || argc != 1)
            return 0;
        quint64 slot = 0;
        if (types[0] == LO_FLOAT) {
            quint32 bits;
            std::memcpy(&bits, &argv[0]->f, sizeof bits);
            slot = kFull | kFloat | bits;
        } else if (types[0] == LO_INT32) {
            slot = kFull | quint32(argv[0]->i);
        } else {
            return 0;
        }
        static_cast<OscSurface *>(user)->keep(servo, slot);
        return 0;
    }
};

OscSurface::OscSurface(ServoLink &link, ServoModel &servos, const ProgramPropertyStore &properties, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_servos(servos)
    , m_properties(properties)
{
}

OscSurface::~OscSurface()
{
    Stop();
}

int OscSurface::PositionFor(bool isFloat, float f, qint32 i, int servoMin, int servoMax)
{
    const int lo = std::clamp(std::min(servoMin, servoMax), 0, 255);
    const int hi = std::clamp(std::max(servoMin, servoMax), 0, 255);
    if (!isFloat)
        return std::clamp(i, lo, hi);
    if (!std::isfinite(f))
        return -1;
    // A fader that overshoots a little still means its end.
    const double share = std::clamp(double(f), 0.0, 1.0);
    return int(std::lround(lo + share * (hi - lo)));
}

bool OscSurface::Apply(const SurfaceSettings &settings)
{
    Stop();
    if (!settings.enabled)
        return false;

    const auto refuse = [&settings](const QString &why) {
        ShowUserMessage(QStringLiteral("The control surface cannot listen on UDP port %1 (%2): %3\r\n"
                                       "It stays off. Options > Control Surface... chooses another port.")
                            .arg(settings.port)
                            .arg(settings.address, why),
                        MsgButtons::Ok, MsgIcon::Critical);
        return false;
    };

    // liblo 0.31 binds every interface; "this computer only" must not. The
    // socket is bound here to the address asked for and put in place of
    // liblo's own before its thread starts, so liblo receives on it.
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(quint16(settings.port));
    if (settings.port < 1 || settings.port > 65535 ||
        ::inet_pton(AF_INET, settings.address.toLatin1().constData(), &where.sin_addr) != 1)
        return refuse(QStringLiteral("no such port or address."));
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return refuse(QString::fromLocal8Bit(strerror(errno)) + QLatin1Char('.'));
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&where), sizeof where) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EADDRINUSE)
            return refuse(QStringLiteral("another program uses that port."));
        return refuse(QString::fromLocal8Bit(strerror(error)) + QLatin1Char('.'));
    }

    lo_server_thread server = lo_server_thread_new_with_proto(nullptr, LO_UDP, ignoreError);
    if (!server) {
        ::close(fd);
        return refuse(QStringLiteral("the OSC listener could not be made."));
    }
    const int loFd = lo_server_get_socket_fd(lo_server_thread_get_server(server));
    const bool replaced = loFd >= 0 && ::dup3(fd, loFd, O_CLOEXEC) == loFd;
    ::close(fd);
    if (!replaced) {
        lo_server_thread_free(server);
        return refuse(QString::fromLocal8Bit(strerror(errno)) + QLatin1Char('.'));
    }
    lo_server_thread_add_method(server, nullptr, nullptr, &OscReceiver::message, this);
    if (lo_server_thread_start(server) < 0) {
        lo_server_thread_free(server);
        return refuse(QStringLiteral("the OSC listener could not start."));
    }
    m_server = server;
    return true;
}

void OscSurface::Stop()
{
    if (!m_server)
        return;
    // Stops and joins the thread: no message arrives after this.
    lo_server_thread_free(static_cast<lo_server_thread>(m_server));
    m_server = nullptr;
    for (auto &slot : m_slots)
        slot.store(0);
}

void OscSurface::keep(int servo, quint64 slot)
{
    m_slots[servo].store(slot);
    // One wake-up in flight at most: a flood costs the UI thread one call per turn.
    if (!m_wakePending.exchange(true))
        QMetaObject::invokeMethod(this, &OscSurface::takeSlots, Qt::QueuedConnection);
}

void OscSurface::takeSlots()
{
    m_wakePending.store(false);
    const ProgramProperties &p = m_properties.Properties();
    const int servoMin = ToInteger(p.ServoMin);
    const int servoMax = ToInteger(p.ServoMax);
    const bool online = m_link.PortOpen();
    for (int servo = 0; servo < kServoCount; ++servo) {
        const quint64 slot = m_slots[servo].exchange(0);
        if (!slot || !online || !m_servos.Enabled(servo))
            continue;
        const quint32 bits = quint32(slot);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        const int position = PositionFor((slot & kFloat) != 0, f, qint32(bits), servoMin, servoMax);
        if (position < 0)
            continue;
        try {
            if (!m_link.MoveLive(servo, position))
                continue; // a run plays
        } catch (const AppError &) {
            // A sync byte the frame cannot carry: the sliders report it; a
            // stream of messages must not raise a box each.
            continue;
        }
        m_servos.SetPosition(servo, qint16(position));
    }
}
