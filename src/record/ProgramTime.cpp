#include "record/ProgramTime.h"

#include "execution/ProgramTrace.h"

#include <algorithm>
#include <cmath>

Take OnProgramTime(const Take &take, const QList<LineReached> &reached, const ProgramTrace &trace,
                   std::optional<qint64> runEndMs)
{
    const qint64 endMs = trace.events.isEmpty() ? 0 : trace.events.last().timeMs;
    const auto during = [&](qint64 runMs) -> qint64 {
        const auto after = std::upper_bound(reached.begin(), reached.end(), runMs,
                                            [](qint64 t, const LineReached &r) { return t < r.runMs; });
        if (after == reached.begin())
            return 0; // before the first line: the centring
        const LineReached &last = *(after - 1);
        const double at = ProgramTrace::TimeInto(trace.lineStarts, endMs, last.line, double(runMs - last.runMs));
        return at < 0 ? endMs : std::llround(at);
    };
    const auto onProgram = [&](qint64 runMs) {
        if (runEndMs && runMs >= *runEndMs)
            return during(*runEndMs) + (runMs - *runEndMs);
        return during(runMs);
    };
    Take out;
    for (const TakeMove &move : take.Moves())
        out.Append(onProgram(move.timeMs), move.servo, move.position);
    out.SetLength(onProgram(take.LengthMs()));
    return out;
}
