#include "execution/RunMailbox.h"

void RunMailbox::Post(Kind kind)
{
    QMutexLocker lock(&m_mutex);
    m_events.append(Event{kind, {}});
    if (kind == Kind::Stop)
        m_stopPosted.store(true);
    m_posted.wakeAll();
}

void RunMailbox::PostListing(const ResolvedProgram &program)
{
    QMutexLocker lock(&m_mutex);
    m_events.append(Event{Kind::Listing, program});
    m_posted.wakeAll();
}

void RunMailbox::Abort()
{
    QMutexLocker lock(&m_mutex);
    m_aborted.store(true);
    m_posted.wakeAll();
}

QList<RunMailbox::Event> RunMailbox::TakeAll()
{
    QMutexLocker lock(&m_mutex);
    return std::exchange(m_events, {});
}

QList<RunMailbox::Event> RunMailbox::WaitAndTakeAll()
{
    QMutexLocker lock(&m_mutex);
    while (m_events.isEmpty() && !m_aborted.load())
        m_posted.wait(&m_mutex);
    return std::exchange(m_events, {});
}
