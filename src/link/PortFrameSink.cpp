#include "link/PortFrameSink.h"

#include "link/LinkError.h"
#include "platform/AppError.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <utility>

PortFrameSink::PortFrameSink(int fd, LostHandler onLost)
    : m_fd(fd)
    , m_onLost(std::move(onLost))
{
}

PortFrameSink::~PortFrameSink()
{
    ::close(m_fd);
}

void PortFrameSink::WriteFrame(const ServoFrame &frame)
{
    if (m_lost.load())
        throw AppError(LinkError::kBoardLost, QStringLiteral("Device I/O error"));
    const QString failure = WriteFrameTo(m_fd, frame);
    if (!failure.isEmpty())
        lost(failure);
}

QString PortFrameSink::WriteFrameTo(int fd, const ServoFrame &frame)
{
    const char bytes[3] = {char(frame.sync), char(frame.servo), char(frame.position)};
    size_t done = 0;
    while (done < sizeof bytes) {
        const ssize_t n = ::write(fd, bytes + done, sizeof bytes - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        const int error = n < 0 ? errno : EIO;
        if (error == EINTR)
            continue;
        if (error != EAGAIN)
            return QString::fromLocal8Bit(std::strerror(error));
        // The driver's queue is full: the line is slower than the frames.
        pollfd p{fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, kStallMs);
        if (ready == 0)
            return QStringLiteral("the device took no data for %1 ms").arg(kStallMs);
        if (ready < 0 && errno != EINTR)
            return QString::fromLocal8Bit(std::strerror(errno));
        if (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
            return QString::fromLocal8Bit(std::strerror(EIO));
    }
    return QString();
}

void PortFrameSink::lost(const QString &reason)
{
    // Only the first failure is reported; the run stops on the throw.
    if (!m_lost.exchange(true) && m_onLost)
        m_onLost(reason);
    throw AppError(LinkError::kBoardLost, QStringLiteral("Device I/O error (%1)").arg(reason));
}
