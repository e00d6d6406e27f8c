#include "library/IniText.h"

#include "app/FileHelpers.h"

namespace {

constexpr qsizetype kMaxValueLength = 254;
const QByteArray kNewLineEnd = QByteArrayLiteral("\r\n");

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

/// Only spaces and tabs: other characters around a name or value are the user's.
QString trimBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isBlank(text[start]))
        ++start;
    while (end > start && isBlank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

/// The section a header line names, nullopt for any other line. "[ Name ] ; note" names "Name".
std::optional<QString> headerName(const QString &line)
{
    const QString text = trimBlanks(line);
    if (!text.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    return trimBlanks(text.mid(1, close < 0 ? -1 : close - 1));
}

/// The position of the '=' of a key line, -1 for a comment or a line without one.
qsizetype equalsSign(const QString &line)
{
    if (trimBlanks(line).startsWith(QLatin1Char(';')))
        return -1;
    return line.indexOf(QLatin1Char('='));
}

QString keyName(const QString &line, qsizetype equals)
{
    return trimBlanks(line.left(equals));
}

bool quotedIn(const QString &text, QChar quote)
{
    return text.size() >= 2 && text.startsWith(quote) && text.endsWith(quote);
}

/// A value the reader would trim or unwrap is written in double quotes, so it reads back unchanged.
/// A line break would end the line early and is written as a space.
QString writtenValue(QString value)
{
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (trimBlanks(value) != value || quotedIn(value, QLatin1Char('"')) || quotedIn(value, QLatin1Char('\'')))
        return QLatin1Char('"') + value + QLatin1Char('"');
    return value;
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
        Line line;
        line.bytes = bytes.mid(start, end - start);
        qsizetype next = end;
        if (next < bytes.size() && bytes[next] == '\r')
            ++next;
        if (next < bytes.size() && bytes[next] == '\n')
            ++next;
        line.end = bytes.mid(end, next - end);
        // Each line on its own, so a Latin-1 line beside UTF-8 ones keeps its characters;
        // only the file's first line may start with a byte-order mark that is not text.
        line.text = start == 0 ? DecodeFileText(line.bytes) : DecodeLineText(line.bytes);
        ini.m_lines.append(line);
        start = next;
    }
    return ini;
}

qsizetype IniText::sectionLine(const QString &section) const
{
    const QString wanted = trimBlanks(section);
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const std::optional<QString> name = headerName(m_lines[i].text);
        if (name && sameName(*name, wanted))
            return i;
    }
    return -1;
}

qsizetype IniText::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !headerName(m_lines[i].text))
        ++i;
    return i;
}

QString IniText::Value(const QString &section, const QString &key) const
{
    const qsizetype header = sectionLine(section);
    if (header < 0)
        return {};
    const QString wanted = trimBlanks(key);
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const QString &line = m_lines[i].text;
        const qsizetype equals = equalsSign(line);
        if (equals < 0 || !sameName(keyName(line, equals), wanted))
            continue;
        QString value = trimBlanks(line.mid(equals + 1));
        if (quotedIn(value, QLatin1Char('"')) || quotedIn(value, QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        return value.left(kMaxValueLength);
    }
    return {};
}

void IniText::insertLine(qsizetype at, const QString &text)
{
    if (at > 0 && m_lines[at - 1].end.isEmpty())
        m_lines[at - 1].end = kNewLineEnd;
    m_lines.insert(at, Line{EncodeFileText(text), kNewLineEnd, text});
}

void IniText::SetValue(const QString &section, const QString &key, const std::optional<QString> &value)
{
    const QString wanted = trimBlanks(key);
    qsizetype header = sectionLine(section);
    if (header < 0) {
        if (!value)
            return;
        header = m_lines.size();
        insertLine(header, QLatin1Char('[') + trimBlanks(section) + QLatin1Char(']'));
    }
    qsizetype lastKey = header;
    bool written = false;
    qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        Line &line = m_lines[i];
        const qsizetype equals = equalsSign(line.text);
        if (equals < 0)
            continue;
        if (!sameName(keyName(line.text, equals), wanted)) {
            lastKey = i;
            continue;
        }
        if (!value) {
            // Every copy goes, so that no later one is read in its place.
            m_lines.removeAt(i--);
            --end;
            continue;
        }
        lastKey = i;
        if (written)
            continue; // a later copy is never read: left as it is
        // The key's spelling and the blanks around "=" stay as the file had them.
        qsizetype valueStart = equals + 1;
        while (valueStart < line.text.size() && isBlank(line.text[valueStart]))
            ++valueStart;
        line.text = line.text.left(valueStart) + writtenValue(*value);
        line.bytes = EncodeFileText(line.text);
        written = true;
    }
    if (value && !written)
        insertLine(lastKey + 1, wanted + QLatin1Char('=') + writtenValue(*value));
}

QByteArray IniText::ToBytes() const
{
    QByteArray bytes;
    for (const Line &line : m_lines)
        bytes += line.bytes + line.end;
    return bytes;
}
