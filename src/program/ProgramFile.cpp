#include "program/ProgramFile.h"

#include "app/AppComponents.h"
#include "app/AppState.h"
#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "program/InstructionSyntax.h"

#include <cmath>
#include <optional>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Header keys in the order they are tried; the first prefix that matches wins.
enum class HeaderKey {
    Version,
    SynchByte,
    InterInstructionDelay,
    SmartDelay,
    ServoMax,
    ServoMin,
    ServoCenter,
    CommPort,
    BaudRate,
    Unknown
};

HeaderKey headerKeyOf(const QString &line)
{
    static const struct
    {
        QLatin1StringView prefix;
        HeaderKey key;
    } keys[] = {
        {QLatin1StringView(";version"), HeaderKey::Version},
        {QLatin1StringView(";synchbyte"), HeaderKey::SynchByte},
        {QLatin1StringView(";interinstructiondelay"), HeaderKey::InterInstructionDelay},
        {QLatin1StringView(";smartdelay"), HeaderKey::SmartDelay},
        {QLatin1StringView(";servomax"), HeaderKey::ServoMax},
        {QLatin1StringView(";servomin"), HeaderKey::ServoMin},
        {QLatin1StringView(";servocenter"), HeaderKey::ServoCenter},
        {QLatin1StringView(";commport"), HeaderKey::CommPort},
        {QLatin1StringView(";baudrate"), HeaderKey::BaudRate},
    };
    for (const auto &entry : keys) {
        if (line.startsWith(entry.prefix, Qt::CaseInsensitive))
            return entry.key;
    }
    return HeaderKey::Unknown;
}

QString *propertyFor(ProgramProperties &p, HeaderKey key)
{
    switch (key) {
    case HeaderKey::SynchByte:
        return &p.SynchByte;
    case HeaderKey::InterInstructionDelay:
        return &p.InterInstructionDelay;
    case HeaderKey::SmartDelay:
        return &p.SmartDelay;
    case HeaderKey::ServoMax:
        return &p.ServoMax;
    case HeaderKey::ServoMin:
        return &p.ServoMin;
    case HeaderKey::ServoCenter:
        return &p.ServoCenter;
    case HeaderKey::CommPort:
        return &p.CommPort;
    case HeaderKey::BaudRate:
        return &p.BaudRate;
    case HeaderKey::Version:
    case HeaderKey::Unknown:
        break;
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
            if (QString *property = propertyFor(parsed.properties, headerKeyOf(line))) {
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
    const auto synch = whole(p.SynchByte);
    if (!synch || *synch < 0)
        return true;

    if (p.SmartDelay.compare(QLatin1String("(none)"), Qt::CaseInsensitive) != 0) {
        const auto smart = whole(p.SmartDelay);
        if (!smart || *smart < 0)
            return true;
    }

    const auto max = whole(p.ServoMax);
    const auto min = whole(p.ServoMin);
    const auto center = whole(p.ServoCenter);
    // A bound that is not a number cannot be compared with: the rule fails.
    if (!max || *max > 255 || !min || *max < *min)
        return true;
    if (*min > 255)
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

void LoadProgramFile()
{
    AppState &app = App();
    const QString path = app.CurrentProgramPath;
    try {
        if (!FileExistsOnDisk(path)) {
            ShowUserMessage(QStringLiteral("The program file ( ") + path + QStringLiteral(" ) could not be found."),
                            MsgButtons::OkCancel, MsgIcon::Information);
            app.CurrentProgramPath.clear();
            return;
        }

        const ParsedProgram parsed = ParseProgramText(QString::fromLatin1(ReadWholeFileBytes(path)), app.Properties);
        app.Properties = parsed.properties;

        if (parsed.droppedLines) {
            ShowUserMessage(QStringLiteral("Unrecognized commands in the program file ( ") + path +
                                QStringLiteral(" ) have been detected and were removed from the program listing."),
                            MsgButtons::OkCancel, MsgIcon::Critical);
        }

        if (PropertiesInvalid(app.Properties)) {
            ShowUserMessage(path + kCrLf +
                                QStringLiteral("The file had invalid property values.  Default values will be set."),
                            MsgButtons::OkCancel, MsgIcon::Information);
            app.Properties = ProgramProperties{};
        }

        if (IPropertyGrid *grid = Components().grid) {
            grid->UpdateGridFromProperties();
            grid->UpdatePropertiesFromGrid();
        }

        WriteWholeFileBytes(app.TempFilePath, ProgramFileText(app.Properties, parsed.listing, true).toLatin1());

        if (IExecutionList *list = Components().execution)
            list->Update();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0056"), e);
    }
}

bool SaveProgram(bool asScript)
{
    AppState &app = App();
    try {
        QStringList items;
        if (IExecutionList *list = Components().execution) {
            list->Update();
            items = list->ListItems();
        }
        WriteWholeFileBytes(app.CurrentProgramPath, ProgramFileText(app.Properties, items, asScript).toLatin1());
        // Only a program that really reached the disk goes into the recent files.
        if (!asScript) {
            if (IProgramShell *shell = Components().shell)
                shell->ProgramSaved(app.CurrentProgramPath);
        }
        return true;
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0055"), e);
        return false;
    }
}
