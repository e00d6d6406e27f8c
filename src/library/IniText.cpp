#include "library/IniText.h"

#include "app/FileHelpers.h"

namespace {

QString lineText(const QByteArray &line)
{
    QByteArray body = line;
    while (body.endsWith('\r') || body.endsWith('\n'))
        body.chop(1);
    return DecodeFileText(body);
}

std::optional<QString> sectionName(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.contains(QLatin1Char(']')))
        return t.mid(1, t.indexOf(QLatin1Char(']')) - 1).trimmed();
    return std::nullopt;
}

std::optional<QString> keyName(const QString &text)
{
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return text.left(eq).trimmed();
}

QByteArray keyLine(const QString &key, const QString &value)
{
    return EncodeFileText(key + QLatin1Char('=') + value) + "\r\n";
}

} // namespace

IniText IniText::FromBytes(const QByteArray &bytes)
{
    IniText ini;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        if (end < bytes.size())
            end += (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        ini.m_lines << bytes.mid(start, end - start);
        start = end;
    }
    return ini;
}

QString IniText::Value(const QString &section, const QString &key) const
{
    bool inSection = false;
    for (const QByteArray &line : m_lines) {
        const QString text = lineText(line);
        if (const auto name = sectionName(text)) {
            if (inSection)
                return QString();
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
        } else if (inSection) {
            if (const auto name = keyName(text); name && name->compare(key, Qt::CaseInsensitive) == 0) {
                QString value = text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
                if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                    value.back() == value.front())
                    value = value.mid(1, value.size() - 2);
                return value.left(254);
            }
        }
    }
    return QString();
}

void IniText::SetValue(const QString &section, const QString &key, const std::optional<QString> &value)
{
    qsizetype sectionLine = -1, lastKey = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString text = lineText(m_lines.at(i));
        if (const auto name = sectionName(text)) {
            if (sectionLine >= 0)
                break;
            if (name->compare(section, Qt::CaseInsensitive) == 0)
                sectionLine = lastKey = i;
        } else if (sectionLine >= 0) {
            if (const auto name = keyName(text)) {
                if (name->compare(key, Qt::CaseInsensitive) == 0) {
                    if (value)
                        m_lines[i] = keyLine(key, *value);
                    else
                        m_lines.removeAt(i);
                    return;
                }
                lastKey = i;
            }
        }
    }
    if (!value)
        return;
    if (sectionLine < 0) {
        if (!m_lines.isEmpty() && !m_lines.back().endsWith('\n') && !m_lines.back().endsWith('\r'))
            m_lines.back() += "\r\n";
        m_lines << EncodeFileText(QLatin1Char('[') + section + QLatin1Char(']')) + "\r\n";
        lastKey = m_lines.size() - 1;
    } else if (!m_lines.at(lastKey).endsWith('\n') && !m_lines.at(lastKey).endsWith('\r')) {
        m_lines[lastKey] += "\r\n";
    }
    m_lines.insert(lastKey + 1, keyLine(key, *value));
}

QByteArray IniText::ToBytes() const
{
    return m_lines.join();
}
