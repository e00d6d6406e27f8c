#include "execution/TraceLanes.h"

#include "execution/ExecutionEngine.h"
#include "execution/ProgramTrace.h"
#include "platform/NumericText.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

TraceLanes TraceLanes::OfProgram(const QStringList &items, const ProgramProperties &properties,
                                 const QString &scriptsFolder, const SoundLength &soundLength, std::stop_token cancel)
{
    if (ExecutionEngine::SmartRatingMissing(properties)) {
        TraceLanes lanes;
        lanes.refusal = QStringLiteral("No Smart rating is set: the program cannot be timed.");
        return lanes;
    }
    RunRequest request = ProgramTrace::OnceRequest(items, properties, scriptsFolder);
    const qint32 centre = WholeNumber32(properties.ServoCenter).value_or(127);
    request.positions.fill(
        qint16(std::clamp<qint32>(centre, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max())));
    TraceLanes lanes =
        OfTrace(ProgramTrace::Run(request, ProgramTrace::kDefaultMaxEvents, std::move(cancel)), soundLength);
    lanes.scriptFiles = request.program.ScriptPaths();
    return lanes;
}

TraceLanes TraceLanes::OfTrace(const ProgramTrace &trace, const SoundLength &soundLength)
{
    TraceLanes lanes;
    lanes.lineStarts = trace.lineStarts;
    lanes.truncated = trace.truncated;
    std::array<int, 256> laneOf;
    laneOf.fill(-1);
    QHash<int, int> soundLaneOf;
    int playingLane = -1; // the sound still playing: its lane; it is the lane's last span
    // Counted first, so that each lane is allocated once.
    std::array<qsizetype, 256> moves{};
    for (const TraceEvent &e : trace.events)
        moves[e.servo] += e.kind == TraceEvent::Kind::Move && e.line >= 0;
    for (const TraceEvent &e : trace.events) {
        lanes.endMs = std::max(lanes.endMs, e.timeMs);
        switch (e.kind) {
        case TraceEvent::Kind::Move: {
            // The centring frames belong to no line: they are not the program's moves.
            if (e.line < 0)
                break;
            int &lane = laneOf[e.servo];
            if (lane < 0) {
                lane = int(lanes.servos.size());
                lanes.servos.append(ServoLane{e.servo, {}});
                lanes.servos.last().steps.reserve(moves[e.servo]);
            }
            lanes.servos[lane].steps.append({e.timeMs, e.position, e.line});
            break;
        }
        case TraceEvent::Kind::Sound: {
            // A new sound cuts off the one still playing.
            if (playingLane >= 0) {
                Span &cut = lanes.sounds[playingLane].spans.last();
                cut.endMs = std::min(cut.endMs, e.timeMs);
            }
            const QString &name = trace.texts.at(e.text);
            auto lane = soundLaneOf.constFind(e.text);
            if (lane == soundLaneOf.cend()) {
                lane = soundLaneOf.insert(e.text, int(lanes.sounds.size()));
                lanes.sounds.append(SoundLane{name, {}});
            }
            const qint64 length = soundLength ? soundLength(name) : -1;
            QList<Span> &spans = lanes.sounds[*lane].spans;
            spans.append(Span{e.timeMs, length >= 0 ? e.timeMs + length : std::numeric_limits<qint64>::max(), e.line});
            playingLane = *lane;
            break;
        }
        case TraceEvent::Kind::Report:
            lanes.gaps.append(Gap{e.timeMs, e.timeMs, e.line, int(lanes.reports.size())});
            lanes.reports.append(trace.texts.at(e.text));
            break;
        case TraceEvent::Kind::End:
            break;
        }
    }
    // A sound of unknown length is drawn to the end of the run; one that is known may outlast it.
    for (SoundLane &lane : lanes.sounds) {
        for (Span &span : lane.spans) {
            if (span.endMs == std::numeric_limits<qint64>::max())
                span.endMs = std::max(span.startMs, lanes.endMs);
        }
    }
    for (Gap &gap : lanes.gaps)
        gap.endMs = std::max(gap.startMs,
                             gap.line + 1 < lanes.lineStarts.size() ? lanes.lineStarts.at(gap.line + 1) : lanes.endMs);
    std::sort(lanes.servos.begin(), lanes.servos.end(),
              [](const ServoLane &a, const ServoLane &b) { return a.servo < b.servo; });
    return lanes;
}

int TraceLanes::LineAt(qint64 timeMs) const
{
    return int(std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), timeMs) - lineStarts.cbegin()) - 1;
}

int TraceLanes::StepAt(const QList<Step> &steps, qint64 timeMs)
{
    const auto after =
        std::upper_bound(steps.cbegin(), steps.cend(), timeMs, [](qint64 t, const Step &s) { return t < s.timeMs; });
    return int(after - steps.cbegin()) - 1;
}

int TraceLanes::SpanAt(const QList<Span> &spans, qint64 timeMs)
{
    const auto after =
        std::upper_bound(spans.cbegin(), spans.cend(), timeMs, [](qint64 t, const Span &s) { return t < s.startMs; });
    const int i = int(after - spans.cbegin()) - 1;
    return i >= 0 && timeMs < spans.at(i).endMs ? i : -1;
}

QList<TraceLanes::Column> TraceLanes::Columns(const QList<Step> &steps, double startMs, double msPerColumn, int count)
{
    QList<Column> columns(std::max(count, 0));
    auto next = std::upper_bound(steps.cbegin(), steps.cend(), startMs,
                                 [](double t, const Step &s) { return t < double(s.timeMs); });
    int held = next == steps.cbegin() ? -1 : std::prev(next)->position;
    for (int c = 0; c < count; ++c) {
        const double end = startMs + (c + 1) * msPerColumn;
        Column column{held, held};
        for (; next != steps.cend() && double(next->timeMs) < end; ++next) {
            held = next->position;
            column.low = column.low < 0 ? held : std::min(column.low, held);
            column.high = std::max(column.high, held);
        }
        columns[c] = column;
    }
    return columns;
}

QList<quint8> TraceLanes::SpanColumns(const QList<Span> &spans, double startMs, double msPerColumn, int count)
{
    QList<quint8> columns(std::max(count, 0), 0);
    if (count <= 0 || msPerColumn <= 0)
        return columns;
    const double viewEnd = startMs + count * msPerColumn;
    // Spans of one lane never overlap, so their ends rise with their starts.
    auto span = std::partition_point(spans.cbegin(), spans.cend(),
                                     [startMs](const Span &s) { return double(s.endMs) <= startMs; });
    for (; span != spans.cend() && double(span->startMs) < viewEnd; ++span) {
        const double first = (double(span->startMs) - startMs) / msPerColumn;
        const double last = std::ceil((double(span->endMs) - startMs) / msPerColumn) - 1;
        for (int c = std::max(0, int(std::floor(first))); c <= std::min<double>(last, count - 1); ++c)
            columns[c] |= kCovered;
        if (first >= 0)
            columns[int(first)] |= kStarts;
    }
    return columns;
}
