#pragma once

#include "execution/ResolvedProgram.h"

#include <QList>
#include <QMutex>
#include <QStringList>
#include <QWaitCondition>

#include <atomic>

/// The only way the UI thread talks to a run: it posts clicks and list edits
/// here, and the run takes them at its yield, in the order they were posted.
/// Stop is the one exception: the run sees it at once, cuts the wait under way
/// and plays no further line, inside scripts too.
class RunMailbox
{
public:
    enum class Kind {
        Pause,   ///< Pause clicked: PauseRequested = True
        Resume,  ///< Execute clicked while paused: StopRequested = PauseRequested = False
        Stop,    ///< Stop clicked: StopRequested = True, PauseRequested = False
        Listing, ///< the list was reloaded; `program` is its new content
    };
    struct Event
    {
        Kind kind = Kind::Stop;
        ResolvedProgram program;
    };

    void Post(Kind kind);
    void PostListing(const ResolvedProgram &program);
    /// Ends the run as soon as possible: no further instruction, waits cut short.
    /// Used when the application closes, not by Stop.
    void Abort();
    bool Aborted() const { return m_aborted.load(std::memory_order_relaxed); }
    /// Stop was posted or the run aborted: no further line, no further frame.
    bool Ending() const { return Aborted() || m_stopPosted.load(std::memory_order_relaxed); }

    /// Everything posted so far (run side).
    QList<Event> TakeAll();
    /// Blocks until something is posted or the run is aborted, then takes all.
    QList<Event> WaitAndTakeAll();

private:
    QMutex m_mutex;
    QWaitCondition m_posted;
    QList<Event> m_events;
    std::atomic<bool> m_aborted{false};
    std::atomic<bool> m_stopPosted{false};
};
