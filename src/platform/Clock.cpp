#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <ctime>

qint64 SystemClock::nowNs() const
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void SystemClock::sleepUntilNs(qint64 deadlineNs)
{
    timespec ts{};
    ts.tv_sec = deadlineNs / 1'000'000'000;
    ts.tv_nsec = deadlineNs % 1'000'000'000;
    // Absolute deadline: time spent before the call never shifts later instructions.
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void SystemClock::waitResponsive(int ms)
{
    if (ms <= 0)
        return;
    if (!QCoreApplication::instance() || QThread::currentThread() != QCoreApplication::instance()->thread()) {
        sleepMs(ms);
        return;
    }
    // Keep repainting and input alive while the wait lasts.
    const qint64 deadline = nowNs() + qint64(ms) * 1'000'000;
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    if (nowNs() < deadline)
        sleepUntilNs(deadline);
}

qint64 VirtualClock::nowNs() const
{
    return m_now.load();
}

void VirtualClock::sleepUntilNs(qint64 deadlineNs)
{
    const qint64 now = m_now.load();
    const qint64 waited = deadlineNs > now ? deadlineNs - now : 0;
    {
        QMutexLocker lock(&m_mutex);
        m_waitsMs.append(waited / 1'000'000);
    }
    if (waited > 0)
        m_now.fetch_add(waited);
}

void VirtualClock::waitResponsive(int ms)
{
    sleepUntilNs(m_now.load() + qint64(qMax(ms, 0)) * 1'000'000);
}

void VirtualClock::advanceNs(qint64 ns)
{
    m_now.fetch_add(ns);
}

QList<qint64> VirtualClock::waitsMs() const
{
    QMutexLocker lock(&m_mutex);
    return m_waitsMs;
}

void VirtualClock::clearWaits()
{
    QMutexLocker lock(&m_mutex);
    m_waitsMs.clear();
}
