#pragma once

#include "link/ServoFrame.h"

#include <QString>

#include <atomic>
#include <functional>

/// Writes frames from a playback thread straight to the serial device, each
/// as one write(2) of three bytes on a descriptor of its own (a duplicate of
/// the open port's). Made by ServoLink::PlaybackSink (see the rules there) or
/// by a player that owns the port itself.
///
/// Timing: a write returns as soon as the driver holds the bytes. Only a full
/// output queue (the line slower than the frames) makes it wait, in poll(2),
/// up to kStallMs; then the board counts as gone.
class PortFrameSink final : public IFrameSink
{
public:
    static constexpr int kStallMs = 2000;

    /// Called once, on the writing thread, with the reason the board was lost.
    using LostHandler = std::function<void(const QString &reason)>;

    /// Takes ownership of fd. onLost may be empty.
    PortFrameSink(int fd, LostHandler onLost);
    ~PortFrameSink() override;
    PortFrameSink(const PortFrameSink &) = delete;
    PortFrameSink &operator=(const PortFrameSink &) = delete;

    /// Throws AppError 57 when the device no longer takes bytes; the first
    /// time, onLost is called before the throw.
    void WriteFrame(const ServoFrame &frame) override;

    /// The one write of a frame to a serial descriptor, shared by the link's
    /// own thread and playback. Returns nothing on success, else why the
    /// device no longer takes bytes (a full queue is waited out, up to kStallMs).
    static QString WriteFrameTo(int fd, const ServoFrame &frame);

private:
    [[noreturn]] void lost(const QString &reason);

    int m_fd;
    LostHandler m_onLost;
    std::atomic<bool> m_lost{false};
};
