#pragma once

#include <QString>

#include <vector>

/// How loudness is measured: per window of `windowMs`, the RMS (or the peak) of the channels mixed,
/// then smoothed so that a jaw opens within about `attackMs` and closes within about `releaseMs`.
struct EnvelopeSettings
{
    int windowMs = 20;
    bool peak = false;
    int attackMs = 10;
    int releaseMs = 80;
};

/// One window's loudness: its start time and a level from 0 (silence) to 1 (full scale).
struct EnvelopePoint
{
    qint64 timeMs = 0;
    double level = 0;
};

/// The loudness of a sound over time, as the source for moves that follow it (a jaw that talks).
class LoudnessEnvelope
{
public:
    /// One point per window from the file's start, the last window possibly shorter. Throws
    /// AppError as SoundFile::Open does; a window below 1 ms is taken as 1 ms.
    static std::vector<EnvelopePoint> Compute(const QString &path, const EnvelopeSettings &settings = {});
};
