#pragma once

#include "sound/SoundFile.h"

#include <QString>

#include <vector>

/// The lowest and highest sample in a stretch of sound (channels mixed), full scale -1..1.
struct WaveformPeak
{
    float min = 0;
    float max = 0;
};

/// A sound's waveform reduced to the lowest and highest sample of every kFramesPerBucket frames,
/// read once, from which a view draws any zoom level without touching the file again.
class WaveformOverview
{
public:
    static constexpr int kFramesPerBucket = 256;

    /// Reads the whole file; throws AppError as SoundFile::Open does. A file whose data stops short
    /// of what its header promised gives the part that is there.
    static WaveformOverview Compute(const QString &path);

    /// The header's facts; frames are those actually read.
    const SoundInfo &info() const { return m_info; }
    /// The buckets, front to back; the last one may cover fewer frames.
    const std::vector<WaveformPeak> &buckets() const { return m_buckets; }

    /// The peaks of `columns` equal slices of [startMs, endMs), one per column, each merged from
    /// the buckets that overlap its slice (at least the one under its start, when zoomed in past a
    /// bucket). Columns past the end of the sound, or an empty or reversed range, give 0,0.
    std::vector<WaveformPeak> Range(double startMs, double endMs, int columns) const;

private:
    SoundInfo m_info;
    std::vector<WaveformPeak> m_buckets;
};
