#pragma once

#include "link/ServoFrame.h"

#include <QtGlobal>

#include <array>
#include <optional>

/// Paces live moves (sliders, a control surface) onto a slow serial line, so
/// frames never queue behind the wire and a move reaches the board within a
/// bounded time at any baud rate and any rate of moves.
///
/// Each servo keeps at most one waiting frame, the newest. A frame may leave
/// when the line has carried the frames before it (frame time from the baud
/// rate) and when its servo's turn has come (below); waiting servos leave in
/// turn (round robin), so a busy one never starves the others. Pure
/// bookkeeping on times the caller gives: the link drives it with its clock.
///
/// A servo keeps a schedule of one frame per kServoIntervalNs rather than a
/// gap after its last frame. A frame may leave up to kServoJitterNs before its
/// turn, and one up to kServoJitterNs late leaves the schedule where it was: a
/// fader sending at a servo's rate whose message came late is not held back
/// on the next. The interval is a little under a servo's 20 ms pulse, so a
/// schedule pushed back by a longer stall catches up, while a flood still gets
/// no more than about 50 frames a second.
class LivePacer
{
public:
    static constexpr qint64 kServoIntervalNs = 19'000'000;
    static constexpr qint64 kServoJitterNs = 10'000'000;
    static constexpr int kServos = 16;

    /// The time a frame occupies the line: 3 bytes of start bit, data bits and
    /// stop bits (no parity) at `baud`.
    static qint64 FrameTimeNs(int baud, int dataBits, int stopBits);
    void SetFrameTimeNs(qint64 ns) { m_frameTimeNs = ns; }
    qint64 FrameTimeNs() const { return m_frameTimeNs; }

    /// A move: its frame waits, replacing the servo's waiting one.
    void Offer(const ServoFrame &frame);
    /// The next frame that may leave at nowNs, if any; it counts as sent then.
    /// With earlyNs, one due that much later may leave too (a timer's grain).
    std::optional<ServoFrame> TakeDue(qint64 nowNs, qint64 earlyNs = 0);
    /// When the next waiting frame may leave; nothing when none waits.
    std::optional<qint64> NextDueNs() const;

    /// A frame written outside the pacer at nowNs: it occupies the line, and
    /// an older waiting frame of its servo is dropped (it would undo it).
    void NoteSent(const ServoFrame &frame, qint64 nowNs);
    /// Drops every waiting frame (a run begins).
    void Clear();

private:
    std::array<std::optional<ServoFrame>, kServos> m_waiting;
    /// When each servo's next frame is due on its schedule; nothing before its first.
    std::array<std::optional<qint64>, kServos> m_servoDueNs;
    qint64 m_lineFreeNs = 0;
    qint64 m_frameTimeNs = 0;
    int m_lastServo = kServos - 1;
};
