// An INI file with one key written: the value reads back as written and every other line stays as
// it was, byte for byte. The input is a section, a key and a value, a line each, then the file.

#include "FuzzSupport.h"
#include "library/IniText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<QByteArray> parts = FuzzBytes(data, size).split('\n');
    if (parts.size() < 4)
        return 0;
    const QString section = DecodeFileText(parts.takeFirst());
    const QString key = DecodeFileText(parts.takeFirst()).trimmed();
    const QString value = DecodeFileText(parts.takeFirst());
    const QByteArray before = parts.join('\n');
    // Names that the file's own syntax would read as something else cannot be written.
    if (section.contains(QLatin1Char(']')) || section.contains(QLatin1Char('\r')) || key.contains(QLatin1Char('=')) ||
        key.contains(QLatin1Char('\r')) || key.startsWith(QLatin1Char('[')) || key.startsWith(QLatin1Char(';')))
        return 0;
    IniText ini = IniText::FromBytes(before);
    ini.SetValue(section, key, value);
    const QByteArray after = ini.ToBytes();
    QString expected = value;
    expected.replace(QStringLiteral("\r"), QStringLiteral(" "));
    FUZZ_CHECK(IniText::FromBytes(after).Value(section, key) == expected.left(254));

    // Outside one changed line the bytes are the same: what was taken out holds at most one line end.
    qsizetype head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QByteArray removed = before.mid(head, before.size() - head - tail);
    FUZZ_CHECK(removed.count('\r') + removed.count('\n') <= 2);
    return 0;
}
