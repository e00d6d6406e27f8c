#include "link/PortFrameSink.h"

#include "link/ServoLink.h"
#include "platform/AppError.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

PortFrameSink::PortFrameSink(int fd, ServoLink *link)
    : m_fd(fd)
    , m_link(link)
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
    const char bytes[3] = {char(frame.sync), char(frame.servo), char(frame.position)};
    size_t done = 0;
    while (done < sizeof bytes) {
        const ssize_t n = ::write(m_fd, bytes + done, sizeof bytes - done);
        if (n > 0) {
            done += size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            const int ready = ::poll(&p, 1, kStallMs);
            if (ready > 0 && !(p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                continue;
            if (ready == 0)
                lost(QStringLiteral("the board takes no data"));
            lost(QString::fromLocal8Bit(std::strerror(EIO)));
        }
        lost(QString::fromLocal8Bit(std::strerror(n < 0 ? errno : EIO)));
    }
}

void PortFrameSink::lost(const QString &reason)
{
    // Only the first failure tells the link; the player stops on the throw.
    if (!m_lost.exchange(true)) {
        ServoLink *link = m_link;
        QMetaObject::invokeMethod(
            link, [link, reason] { link->HandleBoardLost(reason); }, Qt::QueuedConnection);
    }
    throw AppError(LinkError::kBoardLost, QStringLiteral("Device I/O error (%1)").arg(reason));
}
