#pragma once

#include "link/ServoFrame.h"
#include "link/vboard/FrameDecoder.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>

/// A servo board made of a pseudo-terminal: the application opens the device
/// path like any serial port, and the board reads the bytes from the other
/// side. It keeps the device side open itself, so the application may close
/// and reopen the port without the board noticing.
class VirtualBoard
{
public:
    /// Opens the pseudo-terminal. Throws AppError 75 when the system has none to give.
    explicit VirtualBoard(quint8 sync = 255);
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard &) = delete;
    VirtualBoard &operator=(const VirtualBoard &) = delete;

    /// The device the application opens (/dev/pts/N).
    QString DevicePath() const { return m_devicePath; }
    /// The board's side, for poll(2).
    int BoardFd() const { return m_master; }

    /// Makes a symbolic link at path to the device (replacing an old link);
    /// removed again with the board. Throws AppError 75 when it cannot.
    void MakeLink(const QString &path);

    /// Waits up to timeoutMs for bytes and returns what has arrived (empty
    /// after the time-out).
    QByteArray ReadAvailable(int timeoutMs);
    /// Reads until count bytes have arrived or timeoutMs has passed.
    QByteArray ReadBytes(int count, int timeoutMs);
    /// Reads and decodes until count frames have arrived or timeoutMs has passed.
    QList<ServoFrame> ReadFrames(int count, int timeoutMs);
    /// Decodes bytes read elsewhere; positions are kept per servo.
    QList<ServoFrame> Decode(const QByteArray &bytes);

    /// The last position received per servo, -1 before the first.
    const std::array<int, 16> &Positions() const { return m_positions; }
    const FrameDecoder &Decoder() const { return m_decoder; }

    /// Takes the board away as an unplugged USB board goes: the device side
    /// closes, so the application's next write fails.
    void Unplug();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QString m_linkPath;
    FrameDecoder m_decoder;
    std::array<int, 16> m_positions;
};
