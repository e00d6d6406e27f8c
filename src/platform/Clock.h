#pragma once

#include <QList>
#include <QMutex>
#include <QtGlobal>

#include <atomic>

/// Time and waits. Everything that waits goes through one of these, so that
/// tests can run timing on virtual time and the player on a monotonic clock.
class IClock
{
public:
    virtual ~IClock() = default;

    /// Monotonic time in nanoseconds since an arbitrary origin.
    virtual qint64 nowNs() const = 0;

    /// Blocks the calling thread until the monotonic time reaches deadlineNs.
    virtual void sleepUntilNs(qint64 deadlineNs) = 0;

    /// Waits ms milliseconds on the UI thread while its events keep being served.
    virtual void waitResponsive(int ms) = 0;

    void sleepMs(qint64 ms) { sleepUntilNs(nowNs() + ms * 1'000'000); }
};

/// The real clock: CLOCK_MONOTONIC, absolute-deadline sleeps.
class SystemClock final : public IClock
{
public:
    qint64 nowNs() const override;
    void sleepUntilNs(qint64 deadlineNs) override;
    void waitResponsive(int ms) override;
};

/// A clock that only moves when someone waits: each wait advances it at once.
/// Thread-safe, so a playback thread and a test can share one.
class VirtualClock final : public IClock
{
public:
    explicit VirtualClock(qint64 startNs = 0)
        : m_now(startNs)
    {
    }
    qint64 nowNs() const override;
    void sleepUntilNs(qint64 deadlineNs) override;
    void waitResponsive(int ms) override;
    void advanceNs(qint64 ns);

    /// Every wait so far, in milliseconds (sleeps to a past deadline count as 0).
    QList<qint64> waitsMs() const;
    void clearWaits();

private:
    std::atomic<qint64> m_now;
    mutable QMutex m_mutex;
    QList<qint64> m_waitsMs;
};
