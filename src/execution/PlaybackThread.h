#pragma once

#include "execution/ExecutionEngine.h"
#include "execution/IRunObserver.h"
#include "execution/RunMailbox.h"
#include "platform/MessageService.h"

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

#include <memory>
#include <vector>

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
    /// True when the thread runs with a real-time scheduling policy.
    bool RealTime() const { return m_realTime; }

Q_SIGNALS:
    void selected(int line);
    void progress(int percent);
    void servoPositionSet(int servo, int position);
    void pausedAtYield();

protected:
    void run() override;

private:
    // What the run reports is posted to the UI thread only once the frame of
    // its line is out, when the wait after it begins: posting an event can
    // block on a lock the UI thread holds, and the time before a frame has no
    // slack for that, while the wait after it absorbs it.
    struct Pending
    {
        enum Kind { Select, Progress, Position } kind;
        int a;
        int b;
    };
    void Selected(int line) override { m_pending.push_back({Pending::Select, line, 0}); }
    void Progress(int percent) override { m_pending.push_back({Pending::Progress, percent, 0}); }
    void ServoPositionSet(int servo, int position) override
    {
        m_pending.push_back({Pending::Position, servo, position});
    }
    void Waiting(long long) override { flush(); }
    void PausedAtYield() override
    {
        flush();
        Q_EMIT pausedAtYield();
    }
    MsgAnswer show(const MessageRequest &request) override;
    void flush();

    std::vector<Pending> m_pending;

    IFrameSink *m_sink;
    IClock *m_clock;
    ISoundPlayer *m_sound;
    RunRequest m_request;
    RunOutcome m_outcome;
    RunMailbox m_mailbox;
    bool m_realTime = false;

    // The message box the run waits on.
    QMutex m_answerMutex;
    QWaitCondition m_answered;
    quint64 m_askedSerial = 0;
    quint64 m_answeredSerial = 0;
    MsgAnswer m_answer = MsgAnswer::Cancel;
};
