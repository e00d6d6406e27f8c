#include "timeline/TimelineTracer.h"

#include <QThread>

TimelineTracer::TimelineTracer(QObject *parent)
    : QObject(parent)
{
}

TimelineTracer::~TimelineTracer()
{
    if (!m_thread)
        return;
    m_stop.request_stop();
    m_thread->wait();
}

void TimelineTracer::Request(Input input)
{
    if (!m_thread)
        return start(std::move(input));
    // Its lanes are already out of date: it ends early, and this one follows.
    m_stop.request_stop();
    m_next = std::move(input);
}

void TimelineTracer::start(Input input)
{
    m_stop = std::stop_source();
    m_thread.reset(QThread::create([this, input = std::move(input), cancel = m_stop.get_token()] {
        m_result = TraceLanes::OfProgram(input.items, input.properties, input.scriptsFolder, input.soundLength, cancel);
    }));
    connect(m_thread.get(), &QThread::finished, this, &TimelineTracer::finished);
    m_thread->start();
}

void TimelineTracer::finished()
{
    m_thread->wait();
    m_thread.reset();
    TraceLanes lanes = std::exchange(m_result, {});
    if (m_next)
        return start(*std::exchange(m_next, std::nullopt));
    Q_EMIT traced(lanes);
}
