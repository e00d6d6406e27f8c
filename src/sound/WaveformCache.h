#pragma once

#include "sound/WaveformOverview.h"

#include <QDateTime>
#include <QMutex>
#include <QString>

#include <list>
#include <memory>

/// Overviews computed once per file and kept while the file is unchanged (same path, size and
/// modification time), so that every redraw and every view of one sound shares one reading.
/// Safe to use from several threads; a file is read outside the lock.
class WaveformCache
{
public:
    /// Keeps at most `capacity` overviews, dropping the one used longest ago.
    explicit WaveformCache(int capacity = 32);

    /// The overview of the file, computed now when the cache holds none for the file as it is.
    /// Throws AppError as SoundFile::Open does; a failure is not kept.
    std::shared_ptr<const WaveformOverview> Get(const QString &path);

    /// The cache the application shares.
    static WaveformCache &Shared();

private:
    struct Entry
    {
        QString path;
        qint64 size = 0;
        QDateTime modified;
        std::shared_ptr<const WaveformOverview> overview;
    };

    const int m_capacity;
    QMutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
};
