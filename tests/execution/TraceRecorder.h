#pragma once

#include "execution/IRunObserver.h"
#include "execution/ISoundPlayer.h"
#include "link/LinkError.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"
#include "platform/Clock.h"

#include <QStringList>

#include <algorithm>
#include <functional>

/// Records what a run produces, with the virtual time it happened at, as lines
/// "<ms> <event>": frames as hex bytes, waits, sounds, selections, progress.
/// A hook sees each line as it is recorded, so a test can click at a moment.
class TraceRecorder final : public IFrameSink, public IRunObserver, public ISoundPlayer
{
public:
    explicit TraceRecorder(VirtualClock &clock)
        : m_clock(clock)
    {
    }

    std::function<void(const QString &line)> hook;
    QStringList lines;
    /// Time each frame write takes (the clock moves on by it), as a slow line would.
    qint64 writeCostNs = 0;
    /// Frames from this number on fail as a vanished board does.
    int failFramesFrom = -1;

    void WriteFrame(const ServoFrame &frame) override
    {
        if (failFramesFrom >= 0 && m_frames >= failFramesFrom)
            throw AppError(LinkError::kBoardLost, QStringLiteral("the board stopped taking bytes"));
        ++m_frames;
        add(QStringLiteral("frame ") + QString::fromLatin1(frame.bytes().toHex(' ').toUpper()));
        m_clock.advanceNs(writeCostNs);
    }
    void Selected(int line) override { add(QStringLiteral("select %1").arg(line)); }
    void Progress(int percent) override { add(QStringLiteral("progress %1").arg(percent)); }
    void Waiting(long long ms) override { add(QStringLiteral("wait %1").arg(ms)); }
    void PausedAtYield() override { add(QStringLiteral("paused")); }
    void Play(const QString &path) override { add(QStringLiteral("sound ") + path); }

    /// Only the lines whose event starts with one of the words; all of them without words.
    QStringList only(const QStringList &words) const
    {
        QStringList out;
        for (const QString &line : lines) {
            const QString event = line.section(QLatin1Char(' '), 1);
            if (words.isEmpty() ||
                std::any_of(words.begin(), words.end(), [&event](const QString &w) { return event.startsWith(w); }))
                out.append(line);
        }
        return out;
    }

private:
    void add(const QString &event)
    {
        lines.append(QString::number(m_clock.nowNs() / 1'000'000) + QLatin1Char(' ') + event);
        if (hook)
            hook(lines.last());
    }

    VirtualClock &m_clock;
    int m_frames = 0;
};
