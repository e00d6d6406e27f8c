#include "export/BasicExport.h"

#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/NumericText.h"
#include "platform/WebAddress.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramFile.h"
#include "program/ScriptFolder.h"

#include <QLocale>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace BasicExport {
namespace {

const QString kRoutineListInstruction = QStringLiteral("0106");
const QString kRoutineExportScript = QStringLiteral("0107");
const QString kCrLf = QStringLiteral("\r\n");
// A table's index runs in the byte B2, and "For B2 = 0 To 255" would wrap to 0
// and never leave the chunk: a chunk holds at most 254 values (127 pairs).
constexpr int kChunkValues = 254;
// PAUSE and the table's word W0 hold 16 bits; a longer wait is written as several.
constexpr qint64 kLongestWait = 65535;

/// Thrown for an entry that would shift every later pair; the export is abandoned.
struct Refusal
{
    QString text;
};

/// One entry of a pair list or of a SEROUT list: a comma inside would shift every later one.
bool isSingleNumber(const QString &text)
{
    return !text.contains(QLatin1Char(',')) && IsNumericText(text);
}

QString notASingleNumber(const QString &text)
{
    return QStringLiteral(": \"") + text + QStringLiteral("\" is not a single number. Nothing was exported.");
}

bool isSmart(const QString &delay)
{
    return delay.compare(QLatin1String("smart"), Qt::CaseInsensitive) == 0;
}

/// A fixed delay goes into every PAUSE and table: digits only, and no longer
/// than playback can wait.
bool isWholeDelay(const QString &delay)
{
    if (delay.isEmpty() || !std::all_of(delay.begin(), delay.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    bool ok = false;
    const uint ms = delay.toUInt(&ok);
    return ok && ms <= uint(std::numeric_limits<qint32>::max());
}

/// Where a line stands; spelled out only when a refusal names it.
struct Where
{
    qsizetype index;
    const QString &text;
    QString script; ///< empty for a line of the program
    QString Describe() const
    {
        // One pass of arg(), so a "%1" inside the line stays as it is.
        const QString line = QString::number(index + 1);
        return script.isEmpty() ? QStringLiteral("Line %1 (%2)").arg(line, text)
                                : QStringLiteral("Line %1 of script %2 (%3)").arg(line, script, text);
    }
};

/// The state of one run: the entries in pairs and the reports so far.
class Run
{
public:
    explicit Run(const Input &input)
        : m_in(input)
        , m_positions(input.positions)
    {
    }

    void ListInstruction(const QString &sCom, const Where &where)
    {
        try {
            listLine(sCom, where);
        } catch (const AppError &e) {
            report(kRoutineListInstruction, e);
        }
    }

    QStringList m_entries;
    QList<MessageRequest> m_messages;

private:
    void report(const QString &routineCode, const AppError &e)
    {
        m_messages << MessageRequest{kErrorReportTitle, ErrorReportText(routineCode, e.number(), e.description()),
                                     MsgButtons::Ok, MsgIcon::None};
    }
    void userMessage(const QString &text)
    {
        m_messages << MessageRequest{kUserMessageTitle, text, MsgButtons::OkCancel, MsgIcon::Critical};
    }

    /// A number for the pair list: one entry, so no comma inside.
    QString entry(const QString &text, const Where &where) const
    {
        if (!isSingleNumber(text))
            throw Refusal{where.Describe() + notASingleNumber(text)};
        return text;
    }

    /// A wait as pause pairs, each within one 16-bit word. A wait beyond 32 bits
    /// overflows, as it does in playback.
    void waitPairs(qint64 ms)
    {
        if (ms > std::numeric_limits<qint32>::max())
            throw AppError::overflow();
        for (; ms > kLongestWait; ms -= kLongestWait)
            m_entries << QStringLiteral("255") << QString::number(kLongestWait);
        m_entries << QStringLiteral("255") << QString::number(ms);
    }

    /// A duration as the program has it, unless it needs more than one word.
    void pausePairs(const QString &duration)
    {
        const std::optional<double> value = NumericValue(duration);
        if (value && *value > kLongestWait)
            waitPairs(ToLong(duration));
        else
            m_entries << QStringLiteral("255") << duration;
    }

    void listLine(const QString &sCom, const Where &where)
    {
        // Read as the player reads it; an unsplit mov line leaves both entries empty.
        const Instruction line = ParseInstruction(sCom, KeywordMatch::Loose);
        if (line.kind == InstructionKind::Mov) {
            const QString s = entry(line.servo, where);
            const QString v = entry(line.position, where);
            const qint16 servo = ToInteger(s);
            if (servo < 0 || servo >= qint16(m_positions.size()))
                throw AppError::subscriptOutOfRange();
            const qint16 to = ToInteger(v);
            const int distance = std::abs(int(m_positions[servo]) - int(to));
            m_positions[servo] = to;
            m_entries << s << v;
            delayPair(distance);
        } else if (line.kind == InstructionKind::Pause) {
            // An empty duration is copied as it stands: "PAUSE " with nothing after it.
            const QString &rest = line.milliseconds;
            pausePairs(rest.isEmpty() ? rest : entry(rest, where));
            delayPair(0);
        } else if (line.kind == InstructionKind::Script) {
            ExportScript(line.name);
        }
    }

    /// The wait after an instruction; a fixed delay was checked before the run.
    void delayPair(int distance)
    {
        const QString &iid = m_in.interInstructionDelay;
        if (isSmart(iid))
            waitPairs(qint64(ToLong(m_in.smartDelay)) * distance);
        else
            pausePairs(iid);
    }

    void ExportScript(const QString &sfile)
    {
        const QString path = m_in.scriptsFolder + QLatin1Char('/') + sfile;
        try {
            const QByteArray found = ScriptFolder::Find(m_in.scriptsFolder, sfile);
            if (found.isEmpty()) {
                userMessage(QStringLiteral("The Script ( ") + path +
                            QStringLiteral(" ) can not be found. Execution will be terminated."));
                return;
            }
            if (m_depth >= kMaxScriptDepth) {
                // A script naming itself, directly or round a chain, would never end.
                userMessage(QStringLiteral("The Script ( ") + path + QStringLiteral(" ) is called more than ") +
                            QString::number(kMaxScriptDepth) + QStringLiteral(" scripts deep. It is skipped."));
                // The chain that called it unwinds as the player's does: a script naming
                // itself twice would otherwise be read 2^16 times.
                m_unwinding = true;
                return;
            }
            const QStringList lines = SplitFileLines(DecodeFileText(ReadNativeFileBytes(found)));
            ++m_depth;
            for (qsizetype i = 0; i < lines.size() && !m_unwinding; ++i)
                ListInstruction(lines[i], Where{i, lines[i], sfile});
            // The next line of the program itself is listed again.
            m_unwinding = --m_depth > 0 && m_unwinding;
        } catch (const AppError &e) {
            report(kRoutineExportScript, e);
        }
    }

    const Input &m_in;
    std::array<qint16, 16> m_positions;
    int m_depth = 0;
    bool m_unwinding = false; ///< a script chain hit the nesting limit: skip the rest of it
};

QString serialOut(const Input &in, const QString &values)
{
    const ExportSettings s = in.settings;
    return PinList(s.version).value(s.pin) + QLatin1Char(',') +
           BaudText(s.version, s.baud == 0 ? QStringLiteral("N2400") : QStringLiteral("N9600")) +
           (s.version == 0 ? QStringLiteral(",(") : QStringLiteral(",[")) + in.synchByte + QLatin1Char(',') + values +
           (s.version == 0 ? QLatin1Char(')') : QLatin1Char(']'));
}

QString tableShape(const Input &in, const QStringList &f)
{
    const bool bs1 = in.settings.version == 0;
    QString main;
    QString routines;
    for (qsizetype start = 0; start + 1 < f.size(); start += kChunkValues) {
        const qsizetype count = std::min<qsizetype>(kChunkValues, f.size() / 2 * 2 - start);
        const QString k = QString::number(start / kChunkValues + 1);
        const QString values = f.mid(start, count).join(QLatin1Char(','));
        main += QStringLiteral("B4 = 0\r\nB5  = 0\r\n\r\nFor B2 = 0 To ") + QString::number(count - 1) + kCrLf +
                QStringLiteral("    LookUp B2, ") + (bs1 ? QLatin1Char('(') : QLatin1Char('[')) + values +
                (bs1 ? QLatin1Char(')') : QLatin1Char(']')) + QStringLiteral(", W0\r\n") +
                QStringLiteral("    If B4 = 1 Then DoPause") + k + kCrLf +
                QStringLiteral("    If W0 = 255 Then LookForPause") + k + kCrLf +
                QStringLiteral("    If B5 = 1 Then MoveServo") + k + kCrLf +
                QStringLiteral("    B3 = W0\r\n    B5 = 1\r\nNext") + k + QStringLiteral(":\r\nNext\r\n\r\n");
        routines += QStringLiteral("DoPause") + k + QStringLiteral(":\r\n    Pause W0\r\n    B4 = 0\r\nGoTo Next") + k +
                    QStringLiteral("\r\n\r\nLookForPause") + k + QStringLiteral(":\r\n    B4 = 1\r\nGoTo Next") + k +
                    QStringLiteral("\r\n\r\nMoveServo") + k + QStringLiteral(":\r\n    SerOut ") +
                    serialOut(in, QStringLiteral("B3,W0")) + QStringLiteral("\r\n    B5 = 0\r\nGoTo Next") + k +
                    QStringLiteral("\r\n\r\n");
    }
    return QStringLiteral("Main:\r\n\r\n\r\n") + main + kCrLf +
           (in.loop ? QStringLiteral("Goto Main\r\n\r\n") : QStringLiteral("End\r\n\r\n")) + routines;
}

} // namespace

QStringList PinList(int target)
{
    QStringList pins;
    if (target == 4) {
        for (const char *port : {"GPIO.", "PORTA.", "PORTB."}) {
            for (int i = 0; i < 8; ++i)
                pins << QLatin1String(port) + QString::number(i);
        }
        return pins;
    }
    const int count = (target == 1 || target == 2) ? 16 : 8;
    for (int i = 0; i < count; ++i)
        pins << QString::number(i);
    return pins;
}

QString BaudText(int target, const QString &baudItem)
{
    const bool slow = baudItem == QLatin1String("N2400");
    switch (target) {
    case 0:
        return slow ? QStringLiteral("N2400") : QStringLiteral("N9600");
    case 1:
        return slow ? QStringLiteral("16780") : QStringLiteral("16468");
    case 2:
        return slow ? QStringLiteral("17405") : QStringLiteral("16624");
    default:
        return slow ? QStringLiteral("4") : QStringLiteral("6");
    }
}

QString SaveFilter(int target)
{
    static const char *const kFilters[kTargetCount] = {"BS1 Files     *.bas|*.bas", "BS2 Files     *.bs2|*.bs2",
                                                       "BSX Files     *.bsx|*.bsx", "PicBasic Files     *.bas|*.bas",
                                                       "PicBasic Pro Files     *.bas|*.bas"};
    return QLatin1String(kFilters[Checked({target, 0, 0, 0}).version]);
}

ExportSettings Checked(const ExportSettings &settings)
{
    ExportSettings s = settings;
    if (s.version < 0 || s.version >= kTargetCount)
        s.version = 0;
    if (s.pin < 0 || s.pin >= PinList(s.version).size())
        s.pin = 0;
    if (s.baud < 0 || s.baud > 1)
        s.baud = 0;
    if (s.method < 0 || s.method > 1)
        s.method = 0;
    return s;
}

Result Export(const Input &given)
{
    Input in = given;
    in.settings = Checked(given.settings);
    Result result;
    if (in.settings.version == 0 && in.settings.baud != 0) {
        result.refusal = QStringLiteral("Basic Stamp I has no N9600 baud mode. Choose N2400.");
        return result;
    }
    if (in.lines.isEmpty()) {
        result.refusal = QStringLiteral("There is no data to export!  Please load a file.");
        return result;
    }
    // Written into every SEROUT as it stands; "1,88" reads as a number but would send three bytes.
    if (!isSingleNumber(in.synchByte)) {
        result.refusal = QStringLiteral("Synch Byte") + notASingleNumber(in.synchByte);
        return result;
    }
    // Written into every PAUSE and table: "-5" or "2.5" would not compile.
    if (!isSmart(in.interInstructionDelay) && !isWholeDelay(in.interInstructionDelay)) {
        result.refusal =
            QStringLiteral("Inter-Instruction Delay: \"") + in.interInstructionDelay +
            QStringLiteral("\" is not a whole number from 0 to 2147483647 or Smart. Nothing was exported.");
        return result;
    }
    Run run(in);
    try {
        for (qsizetype i = 0; i < in.lines.size(); ++i) {
            if (in.progress)
                in.progress(i, in.lines.size());
            // Keywords are matched in any letter case; a script's name is looked up as written.
            run.ListInstruction(in.lines[i], Where{i, in.lines[i], QString()});
        }
    } catch (const Refusal &r) {
        result.refusal = r.text;
        result.messages = run.m_messages;
        return result;
    }
    result.messages = run.m_messages;
    const QStringList &f = run.m_entries;
    const bool lookup = in.settings.method == 1;
    QString code;
    if (!lookup) {
        for (qsizetype j = 0; j + 1 < f.size(); j += 2) {
            if (ToLong(f[j]) >= 255)
                code += QStringLiteral("PAUSE ") + f[j + 1] + kCrLf;
            else
                code += QStringLiteral("SEROUT ") + serialOut(in, f[j] + QLatin1Char(',') + f[j + 1]) + kCrLf;
        }
        if (in.loop)
            code = QStringLiteral("Main:\r\n") + code + QStringLiteral("Goto Main\r\n");
    }
    // With SEROUT and no pair the table frame stands alone, its table empty.
    result.code = code.isEmpty() ? tableShape(in, lookup ? f : QStringList()) : code;
    return result;
}

QString Header(const QDateTime &now)
{
    const QLocale locale;
    return QStringLiteral("' ** Created By Taveloq (") + locale.toString(now.date(), QLocale::ShortFormat) +
           QLatin1Char(' ') + now.time().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(")\r\n' ** ") +
           QLatin1String(kWebAddress) + QStringLiteral("\r\n\r\n");
}

} // namespace BasicExport
