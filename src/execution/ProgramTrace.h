#pragma once

#include "execution/ExecutionEngine.h"

#include <QList>
#include <QStringList>

#include <stop_token>

class QIODevice;

/// One thing a traced run does, at its time from the start of the run.
struct TraceEvent
{
    enum class Kind : quint8 { Move, Sound, Report, End };
    qint64 timeMs = 0;
    Kind kind = Kind::End;
    quint8 servo = 0;    ///< Move: the frame's servo
    quint8 position = 0; ///< Move: the frame's position
    int line = -1;       ///< the top-level line from 0; -1 before the first (the centring frames) and for End
    int text = -1;       ///< Sound: the file name as its line writes it; Report: the message; an index into texts
    int source = -1; ///< the innermost script, as its line names it (an index into texts); -1 for the listing's lines
};

/// A program's run as the engine itself plays it, on virtual time: every
/// frame, sound start and report, then the end. What the timeline draws and
/// what `taveloq-play --trace` prints.
struct ProgramTrace
{
    static constexpr qint64 kDefaultMaxEvents = 1'000'000;

    QList<TraceEvent> events;
    QStringList texts; ///< the sound names, messages and script names the events point at
    /// When each top-level line the run reached started, in the order it plays them: a line that
    /// makes no event (a pause) still has a time.
    QList<qint64> lineStarts;
    bool truncated = false; ///< more than the allowed events, or cancelled: the run was cut there, without an end
    RunOutcome outcome;

    /// Plays request on virtual time, with nothing on a device or speaker and
    /// every message box answered as nobody can click it. Loop mode plays one
    /// pass. After maxEvents frames, sounds and reports the run is cut short;
    /// a stop requested through `cancel` (from any thread) ends it before its
    /// next instruction, cut short too.
    static ProgramTrace Run(const RunRequest &request, qint64 maxEvents = kDefaultMaxEvents,
                            std::stop_token cancel = {});
    /// The request of a listing played as Execute once plays it, without
    /// centring: what the timeline and a take's lines are timed by.
    static RunRequest OnceRequest(const QStringList &items, const ProgramProperties &properties,
                                  const QString &scriptsFolder);

    /// Where a run stands on its traced time `intoMs` after it reached top-level
    /// line `line`: it goes on with the run's clock but never past the line's
    /// traced length, so a run held there (a Pause, a message box) stands still
    /// at the next line's start. -1 for a line the trace does not reach.
    static double TimeInto(const QList<qint64> &lineStarts, qint64 endMs, int line, double intoMs);

    /// Writes the trace as CSV, a header line then a row per event:
    /// time_ms,event,servo,value,line,source with events move, sound, report
    /// and end, lines counted from 1 (0 before the first line). Fields that
    /// hold a comma, quote or line break are quoted. False when a write failed.
    bool WriteCsv(QIODevice &out) const;
};
