#pragma once

#include "app/ProgramPropertyStore.h"
#include "link/IServoSliders.h"
#include "link/LinkSession.h"
#include "link/SerialPortMap.h"
#include "link/ServoLink.h"
#include "link/vboard/VirtualBoard.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QList>
#include <QPair>
#include <QSignalBlocker>

#include <array>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <termios.h>
#include <unistd.h>

/// Points a Comm Port number at the board.
inline void MapPortToBoard(int port, const VirtualBoard &board)
{
    SerialPortMap::SetDevicePath(port, board.DevicePath());
}

/// The output line speed the device is set to, as the board side sees it.
inline speed_t deviceSpeed(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    termios t{};
    ::tcgetattr(fd, &t);
    ::close(fd);
    return cfgetospeed(&t);
}

inline QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

/// Reads until count bytes have arrived or timeoutMs has passed, serving
/// events meanwhile: paced live moves leave on the link's timer.
inline QByteArray ReadBytesServing(VirtualBoard &board, int count, int timeoutMs)
{
    QByteArray bytes;
    QDeadlineTimer deadline(timeoutMs);
    while (bytes.size() < count && !deadline.hasExpired()) {
        bytes += board.ReadAvailable(1);
        QCoreApplication::processEvents();
    }
    return bytes;
}

/// A UDP port nobody listens on now, for a control surface.
inline int FreeUdpPort()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {}, .sin_zero = {}};
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), size); // on failure port 0, which no surface takes
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

/// The sliders as the link's operations see them: a record of every call,
/// with a hook run at each value so a test can look at the board just then.
class RecordingSliders final : public IServoSliders
{
public:
    void SetSliderRange(int servo, int min, int max) override
    {
        if (servo == ranges.size()) // out of order leaves the list short
            ranges.append({min, max});
    }
    void SetSliderValue(int servo, int value) override
    {
        values.append({servo, value});
        last.at(servo) = value;
        if (onValue)
            onValue(servo, value);
    }
    int SliderValue(int servo) const { return last.at(servo); }

    QList<QPair<int, int>> ranges; ///< per servo, in servo order
    QList<QPair<int, int>> values;
    std::array<int, 16> last{}; ///< each servo's value
    std::function<void(int, int)> onValue;
};

/// A board on a pseudo-terminal as Comm Port `port`, with the property store,
/// the link and its session as the application wires them; Online when `open`.
struct BoardRig
{
    explicit BoardRig(int port = 1, bool open = true)
    {
        MapPortToBoard(port, board);
        {
            const QSignalBlocker quiet(properties);
            properties.SetValue(ProgramPropertyStore::Field::CommPort, QString::number(port));
        }
        link.SetCommPort(QString::number(port));
        link.SetSettings(properties.Properties().BaudRate + QStringLiteral(",N,8,1"));
        if (open)
            link.Open();
    }
    VirtualBoard board;
    ProgramPropertyStore properties;
    ServoLink link{properties};
    LinkSession session{properties, link};
};
