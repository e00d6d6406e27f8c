#pragma once

#include <QString>
#include <QVariant>

class QSettings;

/// Access to one value of the per-user settings store. Set ClassKey,
/// SectionKey, ValueKey and, where it matters, ValueType; then read or write
/// Value. Backed by one INI file under the user's configuration folder, each
/// value kept with its type. Section and value names ignore letter case. A
/// store file that is not a regular file is neither read nor replaced.
class cRegistry
{
public:
    enum Root : quint32 {
        ClassesRoot = 0x80000000u,
        CurrentUser = 0x80000001u,
        LocalMachine = 0x80000002u,
        Users = 0x80000003u,
    };
    enum Type : qint32 {
        Text = 1,
        ExpandText = 2,
        Binary = 3,
        Number = 4,
        NumberBigEndian = 5,
        MultiText = 7,
    };
    static constexpr int kStoreError = 26001;

    quint32 ClassKey() const { return m_classKey; }
    void SetClassKey(quint32 key) { m_classKey = key; }
    QString SectionKey() const { return m_sectionKey; }
    void SetSectionKey(const QString &section) { m_sectionKey = section; }
    QString ValueKey() const { return m_valueKey; }
    void SetValueKey(const QString &name) { m_valueKey = name; }
    qint32 ValueType() const { return m_valueType; }
    void SetValueType(qint32 type) { m_valueType = type; }
    QVariant Default() const { return m_default; }
    void SetDefault(const QVariant &value) { m_default = value; }

    /// The stored value (text, number or bytes by its type), or Default when it
    /// cannot be read. Sets ValueType to the type found.
    QVariant Value();
    /// Stores a value by ValueType. Throws AppError 26001 when the store refuses.
    void SetValue(const QVariant &value);
    /// True when the section can be opened, whatever ValueKey names.
    bool KeyExists() const;

    /// The file behind the store.
    static QString StorePath();
    /// The application's own key under CurrentUser ("Software\Taveloq Team\Taveloq",
    /// or its subkey `subKey`), with ValueKey and ValueType set.
    static cRegistry AppKey(const QString &valueName = {}, qint32 type = Text, const QString &subKey = {});

private:
    /// Enters the section, taking each part's stored spelling.
    void openSection(QSettings &store) const;
    /// The stored spelling of ValueKey in the open section.
    QString valueName(const QSettings &store) const;
    [[noreturn]] void raiseStoreError(const QVariant &value) const;

    quint32 m_classKey = CurrentUser;
    QString m_sectionKey;
    QString m_valueKey;
    qint32 m_valueType = Text;
    QVariant m_default;
};
