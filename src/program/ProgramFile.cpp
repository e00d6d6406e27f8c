#include "program/ProgramFile.h"

#include "app/FileHelpers.h"
#include "platform/NumericText.h"
#include "program/InstructionSyntax.h"

#include <cmath>
#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The property a header line sets: the first key its start matches, in this
// order, wins; ";version" and unknown keys set none.
QString *propertyFor(ProgramProperties &p, const QString &line)
{
    static const struct
    {
        QLatin1StringView prefix;
        std::optional<PropertyField> field;
    } keys[] = {
        {QLatin1StringView(";version"), std::nullopt},
        {QLatin1StringView(";synchbyte"), PropertyField::SynchByte},
        {QLatin1StringView(";interinstructiondelay"), PropertyField::InterInstructionDelay},
        {QLatin1StringView(";smartdelay"), PropertyField::SmartDelay},
        {QLatin1StringView(";servomax"), PropertyField::ServoMax},
        {QLatin1StringView(";servomin"), PropertyField::ServoMin},
        {QLatin1StringView(";servocenter"), PropertyField::ServoCenter},
        {QLatin1StringView(";commport"), PropertyField::CommPort},
        {QLatin1StringView(";baudrate"), PropertyField::BaudRate},
    };
    for (const auto &entry : keys) {
        if (line.startsWith(entry.prefix, Qt::CaseInsensitive))
            return entry.field ? &(p.*MemberOf(*entry.field)) : nullptr;
    }
    return nullptr;
}

// Whole numbers are compared as doubles, so a huge value fails its rule instead
// of overflowing the check.
std::optional<double> whole(const QString &text)
{
    const std::optional<double> value = NumericValue(text);
    if (!value)
        return std::nullopt;
    return RoundHalfEven(*value);
}

} // namespace

QStringList SplitFileLines(const QString &text)
{
    QStringList lines;
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

ParsedProgram ParseProgramText(const QString &text, const ProgramProperties &start)
{
    ParsedProgram parsed;
    parsed.properties = start;
    const QStringList lines = SplitFileLines(text);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char(';'))) {
            if (QString *property = propertyFor(parsed.properties, line)) {
                const qsizetype eq = line.indexOf(QLatin1Char('='));
                *property = eq < 0 ? line : line.mid(eq + 1);
            }
        } else if (IsAcceptedInstructionLine(line)) {
            parsed.listing.append(line);
        } else {
            parsed.droppedLines = true;
        }
    }
    return parsed;
}

ParsedProgram ReadProgramFile(const QString &path, const ProgramProperties &start)
{
    return ParseProgramText(DecodeFileText(ReadWholeFileBytes(path)), start);
}

QString DroppedLinesMessage(const QString &path)
{
    return QStringLiteral("Unrecognized commands in the program file ( ") + path +
           QStringLiteral(" ) have been detected and were removed from the program listing.");
}

QString ProgramFileText(const ProgramProperties &p, const QStringList &items, bool asScript)
{
    QString text;
    qsizetype size = 0;
    for (const QString &item : items)
        size += item.size() + 2;
    text.reserve(size + 200);
    if (!asScript) {
        text += QStringLiteral(";Version=1.0") + kCrLf;
        text += QStringLiteral(";SynchByte=") + p.SynchByte + kCrLf;
        text += QStringLiteral(";InterInstructionDelay=") + p.InterInstructionDelay + kCrLf;
        text += QStringLiteral(";SmartDelay=") + p.SmartDelay + kCrLf;
        text += QStringLiteral(";ServoMax=") + p.ServoMax + kCrLf;
        text += QStringLiteral(";ServoMin=") + p.ServoMin + kCrLf;
        text += QStringLiteral(";ServoCenter=") + p.ServoCenter + kCrLf;
        text += QStringLiteral(";CommPort=") + p.CommPort + kCrLf;
        text += QStringLiteral(";BaudRate=") + p.BaudRate + kCrLf;
    }
    for (const QString &item : items) {
        text += item;
        text += kCrLf;
    }
    return text;
}

bool PropertiesInvalid(const ProgramProperties &p)
{
    // The same limits the grid's custom values must keep: a file must not bring
    // in what the grid would refuse (a sync byte beyond one byte, a negative
    // servo minimum), which would only fail later, on the port or the sliders.
    const auto synch = whole(p.SynchByte);
    if (!synch || *synch < 0 || *synch > 255)
        return true;

    if (p.SmartDelay.compare(QLatin1String("(none)"), Qt::CaseInsensitive) != 0) {
        const auto smart = whole(p.SmartDelay);
        if (!smart || *smart < 0 || *smart > 65534)
            return true;
    }

    const auto max = whole(p.ServoMax);
    const auto min = whole(p.ServoMin);
    const auto center = whole(p.ServoCenter);
    // A bound that is not a number cannot be compared with: the rule fails.
    if (!max || *max > 255 || !min || *max < *min)
        return true;
    if (*min < 0 || *min > 255)
        return true;
    if (!center || *center < *min || *center > *max)
        return true;

    if (p.BaudRate != QLatin1String("9600") && p.BaudRate != QLatin1String("2400"))
        return true;

    const auto port = NumericValue(p.CommPort);
    if (!port || *port < 1 || *port > 4)
        return true;
    return false;
}

QString ClipboardText(const QStringList &lines)
{
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

PastedLines ParsePastedText(const QString &text)
{
    PastedLines pasted{SplitFileLines(text), {}};
    for (qsizetype i = 0; i < pasted.lines.size(); ++i) {
        const QString &line = pasted.lines.at(i);
        if (IsAcceptedInstructionLine(line))
            continue;
        // Shown as far as a message box can: short, and control bytes made visible.
        QString shown = line.left(60);
        for (QChar &c : shown) {
            if (!c.isPrint())
                c = QChar::ReplacementCharacter;
        }
        if (line.size() > shown.size())
            shown += QStringLiteral("...");
        pasted.refusal = QStringLiteral("Nothing was pasted: line ") + QString::number(i + 1) +
                         QStringLiteral(" of the text is not an instruction.\r\n\r\n") + shown;
        pasted.lines.clear();
        break;
    }
    return pasted;
}
