#include "link/vboard/VirtualBoard.h"

#include "platform/AppError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

AppError systemError(const QString &what)
{
    return AppError::pathFileAccess(what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

VirtualBoard::VirtualBoard(quint8 sync)
    : m_decoder(sync)
{
    m_positions.fill(-1);
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0)
        throw systemError(QStringLiteral("openpty"));
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_devicePath = QString::fromLocal8Bit(name);
}

VirtualBoard::~VirtualBoard()
{
    Unplug();
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
}

void VirtualBoard::MakeLink(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.exists()) {
        if (!info.isSymLink())
            throw AppError::pathFileAccess(path + QStringLiteral(" exists and is not a link"));
        QFile::remove(path);
    }
    const QByteArray target = QFile::encodeName(m_devicePath);
    const QByteArray link = QFile::encodeName(path);
    if (::symlink(target.constData(), link.constData()) != 0)
        throw systemError(path);
    m_linkPath = path;
}

QByteArray VirtualBoard::ReadAvailable(int timeoutMs)
{
    if (m_master < 0)
        return {};
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0)
        return {};
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

QByteArray VirtualBoard::ReadBytes(int count, int timeoutMs)
{
    QByteArray bytes;
    QElapsedTimer timer;
    timer.start();
    while (bytes.size() < count) {
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0)
            break;
        bytes += ReadAvailable(left);
    }
    return bytes;
}

QList<ServoFrame> VirtualBoard::ReadFrames(int count, int timeoutMs)
{
    QList<ServoFrame> frames;
    QElapsedTimer timer;
    timer.start();
    while (frames.size() < count) {
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0)
            break;
        frames += Decode(ReadAvailable(left));
    }
    return frames;
}

QList<ServoFrame> VirtualBoard::Decode(const QByteArray &bytes)
{
    const QList<ServoFrame> frames = m_decoder.Feed(bytes);
    for (const ServoFrame &f : frames)
        m_positions[f.servo] = f.position;
    return frames;
}

void VirtualBoard::Unplug()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}
