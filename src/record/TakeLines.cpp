#include "record/TakeLines.h"

#include "execution/ProgramTrace.h"
#include "platform/NumericText.h"
#include "program/InstructionSyntax.h"
#include "record/Take.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int kServos = 16;
constexpr qint64 kLeastBoundMs = 20;

/// A line to plan at its time: it starts at timeMs and the next line can start durationMs later.
struct Cue
{
    qint64 timeMs = 0;
    qint64 durationMs = 0;
    int servo = -1;        ///< a move's servo; -1 for other lines
    bool fromTake = false; ///< only the take's moves are merged: the program's own lines all stay
    QString text;
};

/// The delay after each mov and pause line as the engine waits it (a negative one
/// takes no time); nothing, with the reason, when it depends on the moves.
std::optional<qint64> fixedDelay(const ProgramProperties &properties, QString &refusal)
{
    if (properties.InterInstructionDelay.compare(QLatin1String("smart"), Qt::CaseInsensitive) == 0) {
        refusal = QStringLiteral("A take cannot be written with Smart timing: set Inter-Instruction Delay to a "
                                 "number of milliseconds first.");
        return std::nullopt;
    }
    const std::optional<qint32> delay = WholeNumber32(properties.InterInstructionDelay);
    if (!delay) {
        refusal = QStringLiteral("A take cannot be written while Inter-Instruction Delay is not a number of "
                                 "milliseconds.");
        return std::nullopt;
    }
    return qMax<qint64>(*delay, 0);
}

/// Writes lines that each start when the one before has waited its time,
/// planned from absolute times so that nothing adds up.
class Planner
{
public:
    Planner(qint64 delay, qint64 startMs, TakeLines &out)
        : m_delay(delay)
        , m_now(startMs)
        , m_out(out)
    {
    }

    void SetNow(qint64 ms) { m_now = ms; }

    /// Waits until `time`: exactly when a pause line fits (it costs the delay
    /// too), otherwise at the nearer of now and one delay later. True when the
    /// next line starts exactly then.
    bool WaitUntil(qint64 time)
    {
        const qint64 gap = time - m_now;
        if (gap > 0 && gap >= m_delay) {
            m_out.lines.append(QStringLiteral("Pause ") + QString::number(gap - m_delay));
            m_now = time;
        } else if (gap > 0 && 2 * gap > m_delay) {
            m_out.lines.append(QStringLiteral("Pause 0"));
            m_now += m_delay;
        }
        return m_now == time;
    }

    /// Lays the cues (in time order) on lines.
    void Place(const QList<Cue> &cues)
    {
        // The same servo's next cue, to see when a move is already overtaken.
        QList<qsizetype> next(cues.size(), -1);
        std::array<qsizetype, kServos> after;
        after.fill(-1);
        for (qsizetype i = cues.size() - 1; i >= 0; --i) {
            const int servo = cues.at(i).servo;
            if (servo >= 0) {
                next[i] = after[servo];
                after[servo] = i;
            }
        }
        m_out.lines.reserve(m_out.lines.size() + cues.size() * 2);
        for (qsizetype i = 0; i < cues.size(); ++i) {
            const Cue &cue = cues.at(i);
            if (cue.fromTake && next[i] >= 0 && cues.at(next[i]).timeMs <= m_now) {
                ++m_out.merged;
                continue;
            }
            WaitUntil(cue.timeMs);
            m_out.worstErrorMs = qMax(m_out.worstErrorMs, qAbs(m_now - cue.timeMs));
            m_out.lines.append(cue.text);
            m_now += cue.durationMs;
        }
    }

private:
    const qint64 m_delay;
    qint64 m_now;
    TakeLines &m_out;
};

QList<Cue> takeCues(const Take &take, qint64 delay)
{
    QList<Cue> cues;
    cues.reserve(take.Moves().size());
    for (const TakeMove &move : take.Moves())
        cues.append(
            {move.timeMs, delay, move.servo, true,
             QStringLiteral("Mov ") + QString::number(move.servo) + QLatin1Char(',') + QString::number(move.position)});
    return cues;
}

} // namespace

TakeLines TakeLines::OfTake(const Take &take, const ProgramProperties &properties)
{
    TakeLines out;
    const std::optional<qint64> delay = fixedDelay(properties, out.refusal);
    if (!delay || take.IsEmpty())
        return out;
    out.boundMs = qMax(*delay, kLeastBoundMs);
    Planner planner(*delay, 0, out);
    planner.Place(takeCues(take, *delay));
    planner.WaitUntil(take.LengthMs());
    return out;
}

TakeLines TakeLines::OverProgram(const Take &take, const QStringList &items, const ProgramProperties &properties,
                                 const QString &scriptsFolder)
{
    TakeLines out;
    if (!fixedDelay(properties, out.refusal))
        return out;
    return OverTrace(take, items, ProgramTrace::Run(ProgramTrace::OnceRequest(items, properties, scriptsFolder)),
                     properties);
}

TakeLines TakeLines::OverTrace(const Take &take, const QStringList &items, const ProgramTrace &trace,
                               const ProgramProperties &properties)
{
    TakeLines out;
    const std::optional<qint64> delay = fixedDelay(properties, out.refusal);
    if (!delay)
        return out;
    out.boundMs = qMax(*delay, kLeastBoundMs);
    if (take.IsEmpty()) {
        out.lines = items;
        return out;
    }
    if (trace.truncated || trace.lineStarts.size() < items.size() || trace.events.isEmpty()) {
        out.refusal = QStringLiteral("The program does not play through to its end, so a take cannot be laid "
                                     "over it.");
        return out;
    }
    const qint64 runEnd = trace.events.last().timeMs;
    // Each top-level line's own frames (not its scripts'): a mov line that sent one is a move.
    QList<int> frames(items.size(), 0);
    QList<int> servoOf(items.size(), -1);
    for (const TraceEvent &e : trace.events) {
        if (e.kind == TraceEvent::Kind::Move && e.line >= 0 && e.line < items.size() && e.source < 0) {
            ++frames[e.line];
            servoOf[e.line] = e.servo;
        }
    }
    const qint64 spanStart = take.Moves().first().timeMs;
    const qint64 spanEnd = take.LengthMs();
    const auto endOf = [&](qsizetype i) { return i + 1 < items.size() ? trace.lineStarts.at(i + 1) : runEnd; };
    // The lines the take cannot touch stay as they are: those done before its
    // first move, and those starting after its end once the plan is back on time.
    qsizetype first = 0;
    while (first < items.size() && trace.lineStarts.at(first) < spanStart && endOf(first) <= spanStart)
        ++first;
    qsizetype tail = first;
    while (tail < items.size() && trace.lineStarts.at(tail) <= spanEnd)
        ++tail;
    const auto programCues = [&](qsizetype from, qsizetype to) {
        QList<Cue> cues;
        for (qsizetype i = from; i < to; ++i) {
            const qint64 start = trace.lineStarts.at(i);
            const InstructionKind kind = ParseInstruction(items.at(i), KeywordMatch::Loose).kind;
            if (kind == InstructionKind::Pause)
                continue; // the waits between the kept lines are written anew
            if (kind == InstructionKind::Mov && frames.at(i) == 1) {
                const int servo = servoOf.at(i);
                if ((take.Servos() >> servo & 1) && start >= spanStart && start <= spanEnd)
                    continue; // punched in
                cues.append({start, *delay, servo, false, items.at(i)});
            } else {
                cues.append({start, endOf(i) - start, -1, false, items.at(i)});
            }
        }
        return cues;
    };
    out.lines = items.mid(0, first);
    Planner planner(*delay, first > 0 ? endOf(first - 1) : 0, out);
    // The program's lines first, so that at one time they keep their place before the take's moves.
    QList<Cue> cues = programCues(first, tail) + takeCues(take, *delay);
    std::stable_sort(cues.begin(), cues.end(), [](const Cue &a, const Cue &b) { return a.timeMs < b.timeMs; });
    planner.Place(cues);
    if (tail < items.size() && planner.WaitUntil(trace.lineStarts.at(tail))) {
        out.lines += items.mid(tail);
        planner.SetNow(runEnd);
    } else {
        planner.Place(programCues(tail, items.size()));
    }
    planner.WaitUntil(qMax(runEnd, spanEnd));
    return out;
}
