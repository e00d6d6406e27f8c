#include "platform/cRegistry.h"

#include "platform/AppError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

QString rootName(quint32 root)
{
    switch (root) {
    case cRegistry::ClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case cRegistry::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    case cRegistry::LocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case cRegistry::Users:
        return QStringLiteral("HKEY_USERS");
    default:
        return QStringLiteral("ROOT_%1").arg(root, 8, 16, QLatin1Char('0'));
    }
}

// QSettings keys must not carry '/' or '\' of their own: both separate groups.
QString escapedName(QString name)
{
    name.replace(QLatin1Char('%'), QLatin1String("%25"));
    name.replace(QLatin1Char('/'), QLatin1String("%2F"));
    name.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    return name;
}

// The stored spelling of a name, matched ignoring letter case as the registry
// does; the name itself when nothing matches.
QString storedName(const QStringList &names, const QString &name)
{
    for (const QString &candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

// The store must be a regular file (or not exist yet): reading a FIFO would
// hang, and saving over a link to a device would replace it with a file.
bool storeIsUsable()
{
    struct stat st = {};
    return ::stat(QFile::encodeName(cRegistry::StorePath()).constData(), &st) != 0 || S_ISREG(st.st_mode);
}

QString expandReferences(const QString &text)
{
    static const QRegularExpression reference(QStringLiteral("%([^%]+)%"));
    QString out;
    qsizetype last = 0;
    auto it = reference.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        out += text.mid(last, match.capturedStart() - last);
        const QByteArray name = match.captured(1).toLocal8Bit();
        // An unknown reference stays as written, as the platform expands them.
        if (qEnvironmentVariableIsSet(name.constData()))
            out += qEnvironmentVariable(name.constData());
        else
            out += match.captured(0);
        last = match.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

} // namespace

cRegistry cRegistry::AppKey(const QString &valueName, qint32 type, const QString &subKey)
{
    cRegistry reg;
    reg.SetClassKey(CurrentUser);
    reg.SetSectionKey(QStringLiteral("Software\\Taveloq Team\\Taveloq") +
                      (subKey.isEmpty() ? QString() : QLatin1Char('\\') + subKey));
    reg.SetValueKey(valueName);
    reg.SetValueType(type);
    return reg;
}

QString cRegistry::StorePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Taveloq/Taveloq.conf");
}

void cRegistry::openSection(QSettings &store) const
{
    store.beginGroup(rootName(m_classKey));
    for (const QString &part : m_sectionKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts))
        store.beginGroup(storedName(store.childGroups(), escapedName(part)));
}

QString cRegistry::valueName(const QSettings &store) const
{
    return storedName(store.childKeys(), escapedName(m_valueKey));
}

QVariant cRegistry::Value()
{
    if (!storeIsUsable())
        return m_default;
    QSettings store(StorePath(), QSettings::IniFormat);
    openSection(store);
    const QVariant raw = store.value(valueName(store));
    if (!raw.isValid())
        return m_default;

    // Values are kept as "<type>:<payload>"; a hand-written value without a type is text.
    const QString stored = raw.toString();
    const qsizetype colon = stored.indexOf(QLatin1Char(':'));
    bool typed = false;
    const int type = colon > 0 ? stored.left(colon).toInt(&typed) : 0;
    if (!typed) {
        m_valueType = Text;
        return stored;
    }
    const QString payload = stored.mid(colon + 1);
    m_valueType = type;
    switch (type) {
    case Text:
    case MultiText:
        return payload;
    case ExpandText:
        return expandReferences(payload);
    case Number: {
        bool ok = false;
        const qint32 number = payload.toInt(&ok);
        return ok ? QVariant(number) : m_default;
    }
    case NumberBigEndian: {
        const QByteArray bytes = QByteArray::fromHex(payload.toLatin1());
        if (bytes.size() != 4)
            return m_default;
        const quint32 value = (quint32(quint8(bytes[0])) << 24) | (quint32(quint8(bytes[1])) << 16) |
                              (quint32(quint8(bytes[2])) << 8) | quint32(quint8(bytes[3]));
        return QVariant(qint32(value));
    }
    default:
        return QByteArray::fromHex(payload.toLatin1());
    }
}

void cRegistry::SetValue(const QVariant &value)
{
    QString encoded;
    switch (m_valueType) {
    case Text:
    case ExpandText: {
        const QString text = value.toString();
        const qsizetype first = text.indexOf(QLatin1Char('%'));
        const bool hasReference = first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
        encoded = QString::number(hasReference ? ExpandText : Text) + QLatin1Char(':') + text;
        break;
    }
    case Binary:
        if (value.typeId() != QMetaType::QByteArray)
            raiseStoreError(value);
        encoded = QString::number(Binary) + QLatin1Char(':') + QString::fromLatin1(value.toByteArray().toHex());
        break;
    case Number:
    case NumberBigEndian:
        switch (value.typeId()) {
        case QMetaType::Short:
        case QMetaType::Int:
            encoded = QString::number(Number) + QLatin1Char(':') + QString::number(value.toInt());
            break;
        default:
            return; // only whole numbers of 16 or 32 bits are stored; others are let go
        }
        break;
    default:
        raiseStoreError(value);
    }

    if (!storeIsUsable())
        throw AppError::notRegularFile(StorePath());
    // QSettings names its new copy STORE.XXXXXX just before renaming it over
    // the file; a write killed then leaves it in this folder of ours. Its lock
    // file, left by a write killed while making it, names no process and
    // would hold every write for half a minute: taken over after a second.
    const QFileInfo file(StorePath());
    for (const QString &stray : file.dir().entryList({file.fileName() + QStringLiteral(".??????")}, QDir::Files))
        QFile::remove(file.dir().filePath(stray));
    {
        QLockFile lock(StorePath() + QStringLiteral(".lock"));
        lock.setStaleLockTime(std::chrono::seconds(1));
        if (lock.tryLock(std::chrono::seconds(2)))
            lock.unlock();
    }
    QSettings store(StorePath(), QSettings::IniFormat);
    openSection(store);
    const QString name = valueName(store);
    store.setValue(name, encoded);
    store.sync();
    switch (store.status()) {
    case QSettings::NoError:
        return;
    case QSettings::FormatError: {
        // A damaged line in the file was read past and the file written anew; the
        // status keeps the reading's complaint and would hide a failed write, so
        // the value read back decides.
        QSettings check(StorePath(), QSettings::IniFormat);
        openSection(check);
        if (check.value(name).toString() == encoded)
            return;
        break;
    }
    case QSettings::AccessError:
        break;
    }
    raiseStoreError(value);
}

bool cRegistry::KeyExists() const
{
    if (!storeIsUsable())
        return false;
    QSettings store(StorePath(), QSettings::IniFormat);
    openSection(store);
    return !store.childKeys().isEmpty() || !store.childGroups().isEmpty();
}

void cRegistry::raiseStoreError(const QVariant &value) const
{
    throw AppError(kStoreError, QStringLiteral("Failed to set registry value Key: '") +
                                    QString::number(qint32(m_classKey)) + QStringLiteral("',Section: '") +
                                    m_sectionKey + QStringLiteral("',Key: '") + m_valueKey +
                                    QStringLiteral("' to value: '") + value.toString() + QLatin1Char('\''));
}
