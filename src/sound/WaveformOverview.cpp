#include "sound/WaveformOverview.h"

#include <algorithm>
#include <cmath>

WaveformOverview WaveformOverview::Compute(const QString &path)
{
    SoundFile file = SoundFile::Open(path);
    WaveformOverview overview;
    overview.m_info = file.info();
    overview.m_buckets.reserve(size_t(std::max<qint64>(0, file.info().frames) / kFramesPerBucket + 1));
    // Many buckets per read keeps libsndfile's per-call cost out of the loop.
    constexpr qint64 kBlock = qint64(kFramesPerBucket) * 256;
    std::vector<float> block(kBlock);
    qint64 frames = 0;
    for (;;) {
        const qint64 got = file.readMono(block.data(), kBlock);
        if (got <= 0)
            break;
        frames += got;
        for (qint64 start = 0; start < got; start += kFramesPerBucket) {
            const float *in = block.data() + start;
            const qint64 n = std::min<qint64>(got - start, kFramesPerBucket);
            // Eight running minima and maxima side by side, which the compiler turns into vector
            // instructions; a reduction to one value it would not vectorize.
            constexpr int kLanes = 8;
            float los[kLanes], his[kLanes];
            std::fill_n(los, kLanes, in[0]);
            std::fill_n(his, kLanes, in[0]);
            qint64 i = 0;
            for (; i + kLanes <= n; i += kLanes) {
                for (int j = 0; j < kLanes; ++j) {
                    los[j] = in[i + j] < los[j] ? in[i + j] : los[j];
                    his[j] = in[i + j] > his[j] ? in[i + j] : his[j];
                }
            }
            for (; i < n; ++i) {
                los[0] = std::min(los[0], in[i]);
                his[0] = std::max(his[0], in[i]);
            }
            overview.m_buckets.push_back({*std::min_element(los, los + kLanes), *std::max_element(his, his + kLanes)});
        }
        if (got < kBlock && got % kFramesPerBucket != 0)
            break; // a partial bucket can only be the last one
    }
    overview.m_info.frames = frames;
    return overview;
}

std::vector<WaveformPeak> WaveformOverview::Range(double startMs, double endMs, int columns) const
{
    std::vector<WaveformPeak> out(size_t(std::max(columns, 0)));
    const double spanMs = endMs - startMs;
    if (columns <= 0 || !(spanMs > 0) || !std::isfinite(spanMs) || !std::isfinite(startMs) || m_buckets.empty())
        return out;
    const double bucketsPerMs = m_info.sampleRate / 1000.0 / kFramesPerBucket;
    const double bucketsPerColumn = spanMs * bucketsPerMs / columns;
    const double first = startMs * bucketsPerMs;
    const qint64 count = qint64(m_buckets.size());
    for (int c = 0; c < columns; ++c) {
        const double from = first + c * bucketsPerColumn;
        const double to = from + bucketsPerColumn;
        if (to <= 0 || from >= double(count))
            continue; // before the sound's start or past its end
        // Clamped before the casts: a range far past the sound stays in range of qint64.
        const qint64 b = qint64(std::floor(std::max(from, 0.0)));
        const qint64 e = std::max(qint64(std::ceil(std::min(to, double(count)))), b + 1);
        WaveformPeak peak = m_buckets[size_t(b)];
        for (qint64 i = b + 1; i < e; ++i) {
            peak.min = std::min(peak.min, m_buckets[size_t(i)].min);
            peak.max = std::max(peak.max, m_buckets[size_t(i)].max);
        }
        out[size_t(c)] = peak;
    }
    return out;
}
