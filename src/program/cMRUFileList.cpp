#include "program/cMRUFileList.h"

#include "platform/AppError.h"
#include "platform/cRegistry.h"

#include <QFileInfo>

namespace {

constexpr int kCaptionTail = 32;

// Letter case tells files apart here; two spellings of one existing file
// (a link, "..") are still one entry.
bool sameFile(const QString &a, const QString &b)
{
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    const QString canonicalB = QFileInfo(b).canonicalFilePath();
    if (!canonicalA.isEmpty() && !canonicalB.isEmpty())
        return canonicalA == canonicalB;
    return a == b;
}

QVariant readValue(cRegistry &registry, const QString &name, cRegistry::Type type)
{
    registry.SetValueKey(name);
    registry.SetValueType(type);
    registry.SetDefault(QVariant());
    return registry.Value();
}

void writeValue(cRegistry &registry, const QString &name, cRegistry::Type type, const QVariant &value)
{
    registry.SetValueKey(name);
    registry.SetValueType(type);
    registry.SetValue(value);
}

} // namespace

void cMRUFileList::SetMaxFileCount(int count)
{
    m_capacity = qMax(0, count);
    if (m_files.size() > m_capacity)
        m_files.resize(m_capacity);
}

void cMRUFileList::checkIndex(int index) const
{
    if (index < 1 || index > m_capacity)
        throw AppError::subscriptOutOfRange();
}

QString cMRUFileList::File(int index) const
{
    checkIndex(index);
    return index <= m_files.size() ? m_files.at(index - 1) : QString();
}

bool cMRUFileList::FileExists(int index) const
{
    return !File(index).isEmpty();
}

QString cMRUFileList::MenuCaption(int index) const
{
    QString s = File(index);
    const qsizetype n = s.size();
    if (n > kCaptionTail) {
        // A path with a "/" too far from the end shows the longest tail that
        // starts at a "/" and fits; with none that fits, from the leftmost "/".
        qsizetype fits = -1;
        qsizetype tooFar = -1;
        for (qsizetype j = n - 1; j >= 0; --j) {
            if (s.at(j) == QLatin1Char('/'))
                (n - 1 - j <= kCaptionTail ? fits : tooFar) = j;
        }
        if (tooFar >= 0)
            s = QStringLiteral("...") + s.mid(fits >= 0 ? fits : tooFar);
    }
    s.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QLatin1Char('&') + QString::number(index) + QStringLiteral(")  ") + s;
}

void cMRUFileList::AddFile(const QString &path)
{
    for (qsizetype i = 0; i < m_files.size(); ++i) {
        if (sameFile(m_files.at(i), path)) {
            m_files.removeAt(i);
            break;
        }
    }
    if (m_capacity <= 0)
        return;
    if (m_files.size() >= m_capacity)
        m_files.resize(m_capacity - 1);
    m_files.prepend(path);
}

bool cMRUFileList::Save(cRegistry &registry) const
{
    try {
        writeValue(registry, QStringLiteral("MaxCount"), cRegistry::Number, qint32(m_capacity));
        writeValue(registry, QStringLiteral("Count"), cRegistry::Number, qint32(m_files.size()));
        for (qsizetype i = 0; i < m_files.size(); ++i)
            writeValue(registry, QStringLiteral("File") + QString::number(i + 1), cRegistry::Text, m_files.at(i));
        return true;
    } catch (const AppError &) {
        return false;
    }
}

void cMRUFileList::Load(cRegistry &registry)
{
    if (!registry.KeyExists())
        return;
    SetMaxFileCount(readValue(registry, QStringLiteral("MaxCount"), cRegistry::Number).toInt());
    if (m_capacity <= 0)
        return;
    const int count = qBound(0, readValue(registry, QStringLiteral("Count"), cRegistry::Number).toInt(), m_capacity);
    m_files.clear();
    for (int i = 1; i <= count; ++i)
        m_files << readValue(registry, QStringLiteral("File") + QString::number(i), cRegistry::Text).toString();
}
