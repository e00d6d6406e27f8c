#pragma once

#include <QString>

#include <QtGlobal>

#include <vector>

struct sf_private_tag;

/// What a sound file holds, as its header tells.
struct SoundInfo
{
    qint64 frames = 0;
    int sampleRate = 0;
    int channels = 0;

    /// The length in whole milliseconds, rounded down.
    qint64 lengthMs() const { return sampleRate > 0 ? frames * 1000 / sampleRate : 0; }
};

/// A sound file open for reading (WAV and whatever else libsndfile reads), its samples read front
/// to back with the channels mixed to one. Moves, does not copy; closes the file when destroyed.
class SoundFile
{
public:
    /// Opens the file. Throws AppError with the path and the reason when it cannot be read: it is
    /// missing, not a regular file (a folder, a FIFO), empty, or not a sound file (a text file,
    /// a header cut short). Never blocks on a FIFO.
    static SoundFile Open(const QString &path);

    SoundFile(SoundFile &&other) noexcept;
    SoundFile &operator=(SoundFile &&other) noexcept;
    SoundFile(const SoundFile &) = delete;
    SoundFile &operator=(const SoundFile &) = delete;
    ~SoundFile();

    /// The header's facts.
    const SoundInfo &info() const { return m_info; }

    /// Reads up to `frames` frames from where the last read stopped into `mono`, each the mean of
    /// its channels (full scale is -1..1; float files may go past it). Returns the frames read: 0 at
    /// the end, fewer than asked when data the header promised is missing.
    qint64 readMono(float *mono, qint64 frames);

private:
    SoundFile() = default;

    sf_private_tag *m_file = nullptr;
    SoundInfo m_info;
    std::vector<float> m_interleaved;
};

/// Info of the file at `path` without keeping it open; throws as SoundFile::Open does.
SoundInfo ReadSoundInfo(const QString &path);
