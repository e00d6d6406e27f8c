#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

/// An INI file's text held in memory with the private-profile rules; edits keep every untouched line byte for byte.
class IniText
{
public:
    static IniText FromBytes(const QByteArray &bytes); // any line ends; the encoding rule for lines
    /// At most 254 characters; "" for a missing section or key. Names ignore letter case; first match wins.
    QString Value(const QString &section, const QString &key) const;
    /// nullopt removes the key; a new key goes after the last key of its section, a new section at the end.
    void SetValue(const QString &section, const QString &key, const std::optional<QString> &value);
    QByteArray ToBytes() const; // new lines end in CR LF

private:
    QList<QByteArray> m_lines; ///< each with its own line end, if it had one
};
