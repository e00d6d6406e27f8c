#pragma once

#include <QString>
#include <QStringList>

class cRegistry;

/// The most recently used program files, newest first, with their File menu
/// captions, kept in the settings store. Indexes run from 1 to MaxFileCount;
/// any other index throws AppError 9.
class cMRUFileList
{
public:
    int MaxFileCount() const { return m_capacity; }
    /// A capacity below FileCount drops the oldest entries.
    void SetMaxFileCount(int count);
    int FileCount() const { return int(m_files.size()); }

    /// The full path at index; "" for an entry not in use.
    QString File(int index) const;
    /// True when the entry is in use; the disk is not looked at.
    bool FileExists(int index) const;
    /// "&2)  " + the path, shortened to "..." + its tail from a "/" at most 32
    /// characters from the end; "&" in the path is doubled so it shows as written.
    QString MenuCaption(int index) const;

    /// Puts path first. An entry naming the same file moves up and takes the
    /// new spelling; otherwise a full list drops its oldest entry.
    void AddFile(const QString &path);

    /// Writes MaxCount, Count and File1..FileCount under the registry object's
    /// key. False when a value could not be written; the ones before it stay.
    bool Save(cRegistry &registry) const;
    /// Reads the list written by Save; nothing when MaxCount is missing or 0.
    /// Entries beyond MaxCount are dropped.
    void Load(cRegistry &registry);

private:
    void checkIndex(int index) const;

    int m_capacity = 0;
    QStringList m_files;
};
