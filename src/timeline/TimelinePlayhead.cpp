#include "timeline/TimelinePlayhead.h"

#include "execution/ExecutionController.h"
#include "execution/ProgramTrace.h"
#include "execution/TraceLanes.h"

namespace {

/// About 30 frames a second: smooth enough for a line moving across the lanes.
constexpr int kFrameMs = 33;

} // namespace

TimelinePlayhead::TimelinePlayhead(QObject *parent)
    : QObject(parent)
{
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &TimelinePlayhead::moved);
}

void TimelinePlayhead::Follow(const ExecutionController &exec)
{
    m_exec = &exec;
    connect(&exec, &ExecutionController::lineStarted, this, &TimelinePlayhead::reached);
    connect(&exec, &ExecutionController::runEnded, this, &TimelinePlayhead::ended);
    // The controller may go first when the application closes, in the middle of a run.
    connect(&exec, &QObject::destroyed, this, [this] {
        m_exec = nullptr;
        ended();
    });
}

void TimelinePlayhead::reached(int line, qint64 runNs)
{
    m_line = line;
    m_runNs = runNs;
    if (!m_frame.isActive())
        m_frame.start();
    Q_EMIT moved();
}

void TimelinePlayhead::ended()
{
    m_frame.stop();
    m_line = -1;
    Q_EMIT moved();
}

double TimelinePlayhead::PositionMs(const TraceLanes &lanes) const
{
    if (!m_exec || m_line < 0)
        return -1;
    return ProgramTrace::TimeInto(lanes.lineStarts, lanes.endMs, m_line, (m_exec->RunElapsedNs() - m_runNs) / 1e6);
}
