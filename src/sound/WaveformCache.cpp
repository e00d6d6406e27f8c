#include "sound/WaveformCache.h"

#include <QFileInfo>
#include <QMutexLocker>

WaveformCache::WaveformCache(int capacity)
    : m_capacity(std::max(capacity, 1))
{
}

std::shared_ptr<const WaveformOverview> WaveformCache::Get(const QString &path)
{
    const QFileInfo fileInfo(path);
    // One file reached by two names is one entry; a missing file keeps its name and fails below.
    const QString canonical = fileInfo.canonicalFilePath();
    const QString key = canonical.isEmpty() ? fileInfo.absoluteFilePath() : canonical;
    const qint64 size = fileInfo.size();
    const QDateTime modified = fileInfo.lastModified();
    {
        const QMutexLocker lock(&m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->path != key)
                continue;
            if (it->size == size && it->modified == modified && fileInfo.isFile()) {
                m_entries.splice(m_entries.begin(), m_entries, it);
                return it->overview;
            }
            m_entries.erase(it);
            break;
        }
    }
    auto overview = std::make_shared<const WaveformOverview>(WaveformOverview::Compute(path));
    const QMutexLocker lock(&m_mutex);
    std::erase_if(m_entries, [&key](const Entry &e) { return e.path == key; });
    m_entries.push_front({key, size, modified, overview});
    while (qsizetype(m_entries.size()) > m_capacity)
        m_entries.pop_back();
    return overview;
}

WaveformCache &WaveformCache::Shared()
{
    static WaveformCache cache;
    return cache;
}
