#include "execution/PlaybackThread.h"

#include "platform/Clock.h"
#include "platform/Services.h"

#include <pthread.h>
#include <sched.h>

PlaybackThread::PlaybackThread(IFrameSink *sink, IClock *clock, ISoundPlayer *sound, QObject *parent)
    : QThread(parent)
    , m_sink(sink)
    , m_clock(clock)
    , m_sound(sound)
{
}

PlaybackThread::~PlaybackThread()
{
    AbortRun();
    wait();
}

void PlaybackThread::StartRun(const RunRequest &request)
{
    m_request = request;
    start();
}

void PlaybackThread::AbortRun()
{
    m_mailbox.Abort();
    QMutexLocker lock(&m_answerMutex);
    m_answered.wakeAll();
}

void PlaybackThread::run()
{
    // A real-time policy keeps other work on a busy machine from delaying a
    // frame; without the privilege the thread runs at normal priority.
    sched_param param{};
    param.sched_priority = 10;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);

    ExecutionEngine engine({m_sink, m_clock, m_sound, this, this, &m_mailbox});
    m_outcome = engine.Run(m_request);
    flush();
}

void PlaybackThread::LineStarted(int line)
{
    m_pendingLine.emplace(line, m_clock->nowNs());
}

void PlaybackThread::Waiting(long long ms)
{
    if (ms > 0 || m_clock->nowNs() - m_lastFlushNs >= kReportIntervalNs)
        flush();
}

void PlaybackThread::flush()
{
    m_lastFlushNs = m_clock->nowNs();
    if (const std::optional<int> line = std::exchange(m_pendingSelect, std::nullopt))
        Q_EMIT selected(*line);
    if (const auto started = std::exchange(m_pendingLine, std::nullopt))
        Q_EMIT lineStarted(started->first, started->second);
    if (const std::optional<int> percent = std::exchange(m_pendingProgress, std::nullopt))
        Q_EMIT progress(*percent);
    for (int servo = 0; m_pendingServos != 0; ++servo) {
        if (m_pendingServos & (1u << servo)) {
            m_pendingServos &= ~(1u << servo);
            Q_EMIT servoPositionSet(servo, m_pendingPositions[servo]);
        }
    }
}

MsgAnswer PlaybackThread::show(const MessageRequest &request)
{
    flush();
    quint64 serial = 0;
    {
        QMutexLocker lock(&m_answerMutex);
        serial = ++m_askedSerial;
    }
    // The box is shown by this object's own thread; the run holds still until
    // it has an answer, as a modal box would hold it.
    QMetaObject::invokeMethod(
        this,
        [this, request, serial] {
            const MsgAnswer answer = Services::messages().show(request);
            QMutexLocker lock(&m_answerMutex);
            m_answer = answer;
            m_answeredSerial = serial;
            m_answered.wakeAll();
        },
        Qt::QueuedConnection);
    QMutexLocker lock(&m_answerMutex);
    while (m_answeredSerial < serial && !m_mailbox.Aborted())
        m_answered.wait(&m_answerMutex);
    return m_answeredSerial >= serial ? m_answer : MsgAnswer::Cancel;
}
