#pragma once

// Real-time rule of the playback path. Between two frames a run may only:
// take its mailbox, compute the next instruction, write one frame to the sink,
// hand a sound to the sound player and post selection and progress to its
// observer. It reads no file: scripts are read before the run starts
// (ResolvedProgram), and again by the UI thread when the listing changes. It never waits on the UI thread except for a
// message box of its own (after which its schedule starts again from "now"),
// never allocates without bound, and never sleeps relative to "now": every wait
// ends at an absolute deadline, the sum of all delays since the run started, so
// time spent sending, selecting and repainting never shifts later instructions.
// Stop (and an abort) is seen at once, not only at the yield: the wait under
// way ends, and no further line or frame follows, however deep in scripts.

#include "app/ProgramProperties.h"
#include "app/ServoModel.h"
#include "execution/ResolvedProgram.h"
#include "platform/MessageService.h"

#include <QString>
#include <QStringList>

#include <array>

class IClock;
class IFrameSink;
class IRunObserver;
class ISoundPlayer;
class RunMailbox;

/// The four ways a listing can be played (the index of the mode option).
enum class ExecutionMode { Once = 0, Loop = 1, RunToSelected = 2, StepOneLine = 3 };

/// Everything a run needs to know when it starts.
struct RunRequest
{
    ResolvedProgram program; ///< the listing and the scripts it runs
    ExecutionMode mode = ExecutionMode::Once;
    int selectedLine = -1; ///< the list's selection when the run starts; -1 for none
    bool center = false;   ///< "Center on Execution" is "True"
    ProgramProperties properties;
    std::array<qint16, kServoCount> positions{}; ///< ServoPosition when the run starts
};

/// How a run ended, which decides what the window does afterwards.
struct RunOutcome
{
    enum class End {
        Completed,        ///< ran out of lines: the normal end of a run
        Stopped,          ///< saw StopRequested in modes 0 and 2: the Stop handling, no end of run
        StoppedThenEnded, ///< Loop mode left on Stop: the Stop handling, then the end of run
        Failed,           ///< an unexpected error, reported; the controls stay as they were
    };
    End end = End::Completed;
    bool locked = true; ///< the interface had been locked when the run ended (false: failed while centring)
};

/// Plays a listing: the run procedure of the Execution Controller and the
/// instruction interpreter behind it. Runs synchronously on the calling thread
/// (the playback thread, or a test on virtual time).
class ExecutionEngine
{
public:
    /// Deepest chain of scripts calling scripts; a script line beyond it stops the run.
    static constexpr int kMaxScriptDepth = 16;
    /// Longest single wait; a longer pause or delay is cut to it.
    static constexpr qint64 kMaxWaitMs = 2147483647;

    struct Context
    {
        IFrameSink *sink = nullptr;
        IClock *clock = nullptr;
        ISoundPlayer *sound = nullptr; ///< may be null: wav lines then play nothing
        IMessageService *messages = nullptr;
        IRunObserver *observer = nullptr;
        RunMailbox *mailbox = nullptr;
    };

    explicit ExecutionEngine(const Context &context);

    /// Runs a whole request: centring, then the mode.
    RunOutcome Run(const RunRequest &request);

    /// Carries out one line and the delay that follows it. lIID is the delay
    /// text (a number of milliseconds or "Smart").
    void ExecuteInstruction(const QString &sCom, const QString &lIID);
    /// Runs every line of a script of the Scripts folder, nested, without yielding.
    void RunScript(const QString &sfile, const QString &lIID);

    /// The top-level line being played, from 0; -1 before the first (while centring).
    int CurrentLine() const { return m_line; }
    /// The innermost script being played, as its line names it; empty for the listing's own lines.
    const QString &CurrentSource() const { return m_source; }

    /// The progress of line n (from 0) out of count, in percent, rounded halves to even.
    static int ProgressPercent(int n, int count);

    /// True when the run would be timed by a smart rating that is not set. Both
    /// words match in any letter case, as the engine and the file check read them.
    static bool SmartRatingMissing(const ProgramProperties &properties);

    /// The file a `wav` line plays: a relative name lies in dataFolder (the user's data folder).
    static QString SoundPath(const QString &name, const QString &dataFolder);

private:
    void center();
    /// Plays lines 0..lastLine; progress out of progressTotal, or of the list's
    /// current length when it is negative.
    RunOutcome::End runThrough(int lastLine, int progressTotal);
    void runLoop();
    void runStep();
    /// The yield before a top-level line: takes the mailbox, and while paused waits for more.
    void yield();
    void select(int line, int progress);
    /// Top-level line `line` is the one being played from now on.
    void startLine(int line);
    /// Writes one frame. False when the run is ending (nothing written) or the
    /// board is gone: the run then stops without another report.
    bool sendServoFrame(int servo, int position);
    void waitMs(qint64 ms);
    void delayAfter(const QString &lIID, qint64 delta);
    MsgAnswer message(const MessageRequest &request);
    /// After an unscheduled hold (pause, message box) the schedule restarts now.
    void rebaseSchedule();
    /// Stop was clicked or the run aborted: nothing more is played.
    bool ending() const;

    void playSound(const QString &name);

    Context m_ctx;
    ProgramProperties m_props;
    ResolvedProgram m_program;
    QStringList m_items;
    QString m_scriptsFolder;
    QString m_dataFolder; ///< where relative WAV names are found
    int m_selectedLine = -1;
    std::array<qint16, kServoCount> m_positions{};
    bool m_stopRequested = false;
    bool m_pauseRequested = false;
    bool m_unwinding = false; ///< a script chain hit the nesting limit: skip the rest of it
    int m_scriptDepth = 0;
    int m_line = -1;
    QString m_source;
    qint64 m_deadlineNs = 0;
    bool m_anchorPending = false;
};
