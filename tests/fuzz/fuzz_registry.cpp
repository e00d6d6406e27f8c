// The settings store over any store file: a value written reads back as written, and another value
// stays as it was. The input is a value name and a value, a line each, then the store file.

#include "FuzzSupport.h"
#include "platform/cRegistry.h"

#include <QDir>
#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzHome();
    QList<QByteArray> parts = FuzzBytes(data, size).split('\n');
    if (parts.size() < 3)
        return 0;
    const QString name = DecodeFileText(parts.takeFirst());
    const QString value = DecodeFileText(parts.takeFirst());
    if (name.isEmpty() || name.compare(QLatin1String("Other"), Qt::CaseInsensitive) == 0)
        return 0;
    QDir().mkpath(QFileInfo(cRegistry::StorePath()).path());
    WriteWholeFileBytes(cRegistry::StorePath(), parts.join('\n'));

    const QVariant other = cRegistry::AppKey(QStringLiteral("Other")).Value();
    (void)cRegistry::AppKey(name).Value();
    cRegistry::AppKey(name).SetValue(value);
    FUZZ_CHECK(cRegistry::AppKey(name).Value() == QVariant(value));
    FUZZ_CHECK(cRegistry::AppKey(QStringLiteral("Other")).Value() == other);
    return 0;
}
