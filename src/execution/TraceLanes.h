#pragma once

#include "app/ProgramProperties.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <stop_token>

struct ProgramTrace;

/// A program's traced run cut into what the timeline draws: per servo the
/// position held from each frame to the next (steps: the board jumps, it does
/// not glide), per sound file the spans it plays, and when each top-level line
/// starts. The widget asks for pixel columns, so a long program costs one pass
/// over the visible part, not a drawing per event.
class TraceLanes
{
public:
    /// A servo holds `position` from `timeMs` until its next step; `line` is the top-level line that sent it.
    struct Step
    {
        qint64 timeMs = 0;
        int position = 0;
        int line = -1;
    };
    struct ServoLane
    {
        int servo = 0;
        QList<Step> steps;
    };
    /// A sound plays from its start until the next sound cuts it off, its own end or the run's end.
    struct Span
    {
        qint64 startMs = 0;
        qint64 endMs = 0;
        int line = -1;
    };
    struct SoundLane
    {
        QString name; ///< as its line writes it
        QList<Span> spans;
    };
    /// Where the run showed a message (a script missing or nested too deep, an error): the line did
    /// not play as written. It lasts from the message until the next line starts or the run ends.
    struct Gap
    {
        qint64 startMs = 0;
        qint64 endMs = 0;
        int line = -1;
        int report = -1; ///< index into reports
    };
    /// One pixel column of a servo lane: the lowest and highest position held in it; -1 before the first step.
    struct Column
    {
        int low = -1;
        int high = -1;
    };
    /// Flags of one pixel column of a sound lane.
    enum SpanColumn : quint8 { kCovered = 1, kStarts = 2 };

    /// A sound file's length in milliseconds, or -1 while it is not known.
    using SoundLength = std::function<qint64(const QString &name)>;

    /// The run of `items` as Execute would play it once without centring, every
    /// servo starting from ServoCenter (which Smart delays count from). A
    /// program without a Smart rating cannot be timed: no lanes, and `refusal` says why.
    /// A stop requested through `cancel` cuts the trace short (see ProgramTrace::Run).
    static TraceLanes OfProgram(const QStringList &items, const ProgramProperties &properties,
                                const QString &scriptsFolder, const SoundLength &soundLength = {},
                                std::stop_token cancel = {});
    /// The lanes of a trace: servos that the program's lines move (not the centring frames), by number;
    /// sounds by their first start.
    static TraceLanes OfTrace(const ProgramTrace &trace, const SoundLength &soundLength = {});

    QList<ServoLane> servos;
    QList<SoundLane> sounds;
    QList<qint64> lineStarts; ///< see ProgramTrace::lineStarts
    qint64 endMs = 0;         ///< the run's end, or its last event when it was cut short
    bool truncated = false;
    QStringList reports;     ///< the messages the run showed, in order
    QList<Gap> gaps;         ///< one per report, in order
    QStringList scriptFiles; ///< the script files the run depends on, found or not
    QString refusal;         ///< why nothing was traced

    /// The top-level line playing at timeMs (of lines starting together, the last); -1 before the first.
    int LineAt(qint64 timeMs) const;
    /// The step held at timeMs; -1 before the first.
    static int StepAt(const QList<Step> &steps, qint64 timeMs);
    /// The span playing at timeMs (of spans starting together, the last); -1 for none.
    static int SpanAt(const QList<Span> &spans, qint64 timeMs);

    /// `count` columns of `msPerColumn` from `startMs`: column c covers [start + c*ms, start + (c+1)*ms).
    static QList<Column> Columns(const QList<Step> &steps, double startMs, double msPerColumn, int count);
    static QList<quint8> SpanColumns(const QList<Span> &spans, double startMs, double msPerColumn, int count);
};
