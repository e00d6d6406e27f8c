#include "record/JawMoves.h"

#include "execution/ExecutionEngine.h"
#include "execution/ProgramTrace.h"
#include "platform/AppError.h"
#include "record/Take.h"
#include "sound/SoundFile.h"

#include <algorithm>
#include <cmath>

double JawMoves::Opening(double level, const JawSettings &settings)
{
    const double loud = level * settings.gain;
    if (settings.threshold >= 1)
        return loud >= 1 ? 1 : 0;
    return std::clamp((loud - settings.threshold) / (1 - settings.threshold), 0.0, 1.0);
}

Take JawMoves::FromEnvelope(const std::vector<EnvelopePoint> &envelope, int windowMs, const JawSettings &settings,
                            qint64 startMs, qint64 lengthMs)
{
    const int rate = std::clamp(settings.linesPerSecond, 1, kMaxLinesPerSecond);
    windowMs = std::max(windowMs, 1);
    Take take;
    int held = -1;
    // Times from the count, not an added step, so that a long sound does not drift.
    for (qint64 k = 0;; ++k) {
        const qint64 t = k * 1000 / rate;
        if (t >= lengthMs)
            break;
        // The window the time falls in: its level already hears the whole window, a
        // head start that a servo's own travel time takes back.
        const size_t window = size_t(t / windowMs);
        const double level = window < envelope.size() ? envelope[window].level : 0;
        const int position =
            int(std::lround(settings.closed + (settings.open - settings.closed) * Opening(level, settings)));
        if (position != held)
            take.Append(startMs + t, settings.servo, position);
        held = position;
    }
    if (held != settings.closed)
        take.Append(startMs + lengthMs, settings.servo, settings.closed);
    take.SetLength(startMs + std::max<qint64>(lengthMs, 0));
    return take;
}

TakeLines JawMoves::OverProgram(int line, const QStringList &items, const ProgramProperties &properties,
                                const JawSettings &settings, const QString &scriptsFolder, const QString &dataFolder)
{
    TakeLines out;
    // Smart delays depend on the moves written, so the times cannot be planned.
    if (properties.InterInstructionDelay.compare(QLatin1String("smart"), Qt::CaseInsensitive) == 0) {
        out.refusal = QStringLiteral("Moves cannot be generated from a sound with Smart timing: set "
                                     "Inter-Instruction Delay to a number of milliseconds first.");
        return out;
    }
    const ProgramTrace trace = ProgramTrace::Run(ProgramTrace::OnceRequest(items, properties, scriptsFolder));

    // The line's own sound start, and the next sound start, which cuts it off.
    qsizetype own = -1;
    qint64 cutMs = -1;
    for (qsizetype i = 0; i < trace.events.size() && cutMs < 0; ++i) {
        const TraceEvent &e = trace.events.at(i);
        if (e.kind != TraceEvent::Kind::Sound)
            continue;
        if (own >= 0)
            cutMs = e.timeMs;
        else if (e.line == line && e.source < 0)
            own = i;
    }
    if (own < 0) {
        out.refusal = QStringLiteral("The program's run does not play the sound of line %1.").arg(line + 1);
        return out;
    }
    const TraceEvent &start = trace.events.at(own);
    const QString path = ExecutionEngine::SoundPath(trace.texts.at(start.text), dataFolder);
    EnvelopeSettings envelope;
    envelope.attackMs = std::max(settings.attackMs, 0);
    envelope.releaseMs = std::max(settings.releaseMs, 0);
    try {
        qint64 lengthMs = ReadSoundInfo(path).lengthMs();
        if (cutMs >= 0)
            lengthMs = std::min(lengthMs, cutMs - start.timeMs);
        const Take take = FromEnvelope(LoudnessEnvelope::Compute(path, envelope), envelope.windowMs, settings,
                                       start.timeMs, lengthMs);
        return TakeLines::OverTrace(take, items, trace, properties);
    } catch (const AppError &e) {
        out.refusal = e.description();
        return out;
    }
}
