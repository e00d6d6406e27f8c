#pragma once

#include "execution/ExecutionEngine.h"
#include "execution/IRunObserver.h"
#include "execution/RunMailbox.h"
#include "platform/MessageService.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <array>
#include <memory>
#include <optional>
#include <utility>

/// One run of the engine on a thread of its own, so that its waits end on time
/// whatever the UI thread is doing. The object itself lives on the thread that
/// created it (the UI thread): its signals reach receivers there through the
/// event queue, the run's message boxes are shown there (through
/// Services::messages()) while the run waits for the answer, and clicks reach
/// the run through Mailbox().
class PlaybackThread final : public QThread, private IRunObserver, private IMessageService
{
    Q_OBJECT
public:
    PlaybackThread(IFrameSink *sink, IClock *clock, ISoundPlayer *sound, QObject *parent = nullptr);
    /// Aborts a run still going and waits for its thread.
    ~PlaybackThread() override;

    /// Starts the run on the new thread. Call once.
    void StartRun(const RunRequest &request);
    RunMailbox &Mailbox() { return m_mailbox; }
    /// Ends the run quickly: no further instruction, waits and message boxes cut short.
    void AbortRun();

    /// Valid once finished() has been emitted.
    const RunOutcome &Outcome() const { return m_outcome; }

Q_SIGNALS:
    void selected(int line);
    /// Top-level line `line` started when the run's clock read `atNs`.
    void lineStarted(int line, qint64 atNs);
    void progress(int percent);
    void servoPositionSet(int servo, int position);

protected:
    void run() override;

private:
    // What the run reports is posted to the UI thread only once the frame of
    // its line is out, when the wait after it begins: posting an event can
    // block on a lock the UI thread holds, and the time before a frame has no
    // slack for that, while the wait after it absorbs it. Only the latest
    // report of each kind is kept, and waits of no time post at most every
    // kReportIntervalNs: a listing that plays without waiting comes round
    // millions of times a second and must not pile events up for the UI.
    static constexpr qint64 kReportIntervalNs = 10'000'000;
    void Selected(int line) override { m_pendingSelect = line; }
    void Progress(int percent) override { m_pendingProgress = percent; }
    void LineStarted(int line) override;
    void ServoPositionSet(int servo, int position) override
    {
        m_pendingPositions[servo] = position;
        m_pendingServos |= 1u << servo;
    }
    void Waiting(long long ms) override;
    void PausedAtYield() override { flush(); }
    MsgAnswer show(const MessageRequest &request) override;
    void flush();

    std::optional<int> m_pendingSelect;
    std::optional<int> m_pendingProgress;
    std::optional<std::pair<int, qint64>> m_pendingLine; ///< the line and the clock's time it started at
    std::array<int, kServoCount> m_pendingPositions{};
    quint32 m_pendingServos = 0;
    qint64 m_lastFlushNs = 0;

    IFrameSink *m_sink;
    IClock *m_clock;
    ISoundPlayer *m_sound;
    RunRequest m_request;
    RunOutcome m_outcome;
    RunMailbox m_mailbox;

    // The message box the run waits on.
    QMutex m_answerMutex;
    QWaitCondition m_answered;
    quint64 m_askedSerial = 0;
    quint64 m_answeredSerial = 0;
    MsgAnswer m_answer = MsgAnswer::Cancel;
};
