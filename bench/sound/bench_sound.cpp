// Writes a 10-minute 16-bit stereo 44.1 kHz WAV (a tone switched on and off every second) and gives
// the median of several runs for the waveform overview, a full-width view of it, the same overview
// again from the cache and the loudness envelope. The file is in the page cache, as it is when a
// program's sound was just opened.
#include "sound/LoudnessEnvelope.h"
#include "sound/WaveformCache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 600;
constexpr int kRuns = 5;

bool writeSound(const QString &path)
{
    SF_INFO info = {0, kRate, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<short> second(size_t(kRate) * 2);
    for (int s = 0; s < kSeconds; ++s) {
        for (int i = 0; i < kRate; ++i) {
            const double v = s % 2 ? 0.0 : 20000 * std::sin(2 * std::numbers::pi * 440 * i / kRate);
            second[size_t(i) * 2] = second[size_t(i) * 2 + 1] = short(v);
        }
        sf_writef_short(file, second.data(), kRate);
    }
    return sf_close(file) == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double timeMs(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ten-minutes.wav"));
    if (!writeSound(path)) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        return 1;
    }
    std::vector<double> overview, range, cached, envelope;
    size_t buckets = 0;
    for (int i = 0; i < kRuns; ++i) {
        WaveformCache cache;
        std::shared_ptr<const WaveformOverview> o;
        overview.push_back(timeMs([&] { o = cache.Get(path); }));
        buckets = o->buckets().size();
        range.push_back(timeMs([&] { o->Range(0, kSeconds * 1000.0, 1920); }));
        cached.push_back(timeMs([&] { cache.Get(path); }));
        envelope.push_back(timeMs([&] { LoudnessEnvelope::Compute(path); }));
    }
    auto ms = [](double v) { return QString::number(v, 'f', 1); };
    QTextStream(stdout) << kSeconds << " s of 16-bit stereo at " << kRate << " Hz, "
                        << QFile(path).size() / (1024 * 1024) << " MiB, " << buckets << " buckets; median of " << kRuns
                        << " runs: overview " << ms(median(overview)) << " ms, 1920 columns of it " << ms(median(range))
                        << " ms, from the cache " << ms(median(cached)) << " ms, loudness envelope "
                        << ms(median(envelope)) << " ms\n";
    return 0;
}
