#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

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
    /// One line as read: its bytes with their line end, so an untouched line is written back unchanged.
    struct Line
    {
        QByteArray bytes; // without the line end
        QByteArray end;   // CR LF, LF, CR, or nothing on a last line without one
        QString text;     // decoded
    };
    /// The line of the first section of that name, -1 when none.
    qsizetype sectionLine(const QString &section) const;
    /// The line just past the section's last line (the next header or the end).
    qsizetype sectionEnd(qsizetype header) const;
    /// Inserts a new line; the line before it gets a line end if it had none.
    void insertLine(qsizetype at, const QString &text);
    QList<Line> m_lines;
};
