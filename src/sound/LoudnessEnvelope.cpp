#include "sound/LoudnessEnvelope.h"

#include "sound/SoundFile.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of the old level kept per window: the level moves 1 - 1/e of the way to the new one
// within `timeMs`; 0 ms follows at once.
double keptPerWindow(int timeMs, int windowMs)
{
    return timeMs <= 0 ? 0.0 : std::exp(-double(windowMs) / timeMs);
}

} // namespace

std::vector<EnvelopePoint> LoudnessEnvelope::Compute(const QString &path, const EnvelopeSettings &settings)
{
    SoundFile file = SoundFile::Open(path);
    const int rate = file.info().sampleRate;
    const int windowMs = std::max(settings.windowMs, 1);
    const double attack = keptPerWindow(settings.attackMs, windowMs);
    const double release = keptPerWindow(settings.releaseMs, windowMs);
    std::vector<EnvelopePoint> out;
    out.reserve(size_t(std::max<qint64>(file.info().lengthMs() / windowMs + 1, 0)));
    std::vector<float> block;
    double level = 0;
    for (qint64 index = 0;; ++index) {
        // Window edges from times, not a rounded frame count, so that long files do not drift.
        const qint64 from = index * windowMs * rate / 1000;
        const qint64 frames = (index + 1) * windowMs * rate / 1000 - from;
        block.resize(size_t(std::max<qint64>(frames, 1)));
        const qint64 got = file.readMono(block.data(), qint64(block.size()));
        if (got <= 0)
            break;
        double value = 0;
        if (settings.peak) {
            for (qint64 i = 0; i < got; ++i)
                value = std::max(value, double(std::fabs(block[size_t(i)])));
        } else {
            for (qint64 i = 0; i < got; ++i)
                value += double(block[size_t(i)]) * block[size_t(i)];
            value = std::sqrt(value / double(got));
        }
        value = std::min(value, 1.0); // float files may go past full scale
        const double kept = value > level ? attack : release;
        level = value + kept * (level - value);
        out.push_back({index * windowMs, level});
    }
    return out;
}
