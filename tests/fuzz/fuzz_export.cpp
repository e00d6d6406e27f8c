// BASIC export of any program never crashes, and what it would write is made only of the target's
// line shapes with numbers in every number's place. The first two bytes choose the target, pin,
// baud, code shape and loop; the rest is the program file, and lines after a "#" line a script.

#include "FuzzSupport.h"
#include "export/BasicExport.h"
#include "platform/NumericText.h"
#include "program/ProgramFile.h"

#include <QDir>
#include <QRegularExpression>

namespace {

/// Each comma-separated field is a number, or one of `names`.
bool numbers(const QString &fields, const QStringList &names = {})
{
    const QStringList list = fields.split(QLatin1Char(','));
    return std::all_of(list.begin(), list.end(),
                       [&](const QString &f) { return names.contains(f) || (IsNumericText(f) && !f.isEmpty()); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QString scripts = FuzzHome() + QStringLiteral("/export-scripts");
    QDir().mkpath(scripts);
    const QString text = FuzzText(data + 2, size - 2);
    const qsizetype split = text.indexOf(QLatin1String("\n#\n"));
    WriteWholeFileBytes(scripts + QStringLiteral("/s.tqs"),
                        EncodeFileText(split < 0 ? QString() : text.mid(split + 3)));
    const ParsedProgram program = ParseProgramText(text.left(split), ProgramProperties());
    // Neither the application nor taveloq-export hands on properties it would not load.
    if (PropertiesInvalid(program.properties))
        return 0;

    const ProgramProperties &p = program.properties;
    const BasicExport::Input in{.lines = program.listing,
                                .synchByte = p.SynchByte,
                                .interInstructionDelay = p.InterInstructionDelay,
                                .smartDelay = p.SmartDelay,
                                .settings = {data[0] % 5, data[1], (data[0] >> 3) & 1, (data[0] >> 4) & 1},
                                .loop = bool(data[0] & 0x20),
                                .scriptsFolder = scripts};
    const BasicExport::Result out = BasicExport::Export(in);
    if (out.refusal)
        return 0;

    const ExportSettings s = BasicExport::Checked(in.settings);
    const bool bs1 = s.version == 0;
    const QString serout = QRegularExpression::escape(BasicExport::PinList(s.version).value(s.pin) + QLatin1Char(',') +
                                                      BasicExport::BaudText(s.version, s.baud ? "N9600" : "N2400"));
    const QString open = bs1 ? QStringLiteral("\\(") : QStringLiteral("\\[");
    const QString close = bs1 ? QStringLiteral("\\)") : QStringLiteral("\\]");
    static const QRegularExpression fixed(QStringLiteral(
        "^(|Main:|Goto Main|End|Next|B4 = 0|B5  = 0|    B3 = W0|    B5 = 1|    Pause W0|    B[45] = [01]|"
        "(Next|DoPause|LookForPause|MoveServo)\\d+:|For B2 = 0 To \\d+|(GoTo Next|    If B4 = 1 Then DoPause|"
        "    If W0 = 255 Then LookForPause|    If B5 = 1 Then MoveServo)\\d+)$"));
    const QRegularExpression pause(QStringLiteral("^PAUSE (.*)$"));
    const QRegularExpression send(QStringLiteral("^(SEROUT|    SerOut) ") + serout + QLatin1Char(',') + open +
                                  QStringLiteral("(.*),(.*),(.*)") + close + QLatin1Char('$'));
    const QRegularExpression table(QStringLiteral("^    LookUp B2, ") + open + QStringLiteral("(.*)") + close +
                                   QStringLiteral(", W0$"));
    FUZZ_CHECK(out.code.endsWith(QLatin1String("\r\n")));
    QStringList lines = out.code.split(QLatin1String("\r\n"));
    lines.removeLast();
    for (const QString &line : lines) {
        QRegularExpressionMatch m;
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        if (fixed.match(line).hasMatch() ||
            ((m = pause.match(line)).hasMatch() && (m.captured(1).isEmpty() || numbers(m.captured(1)))))
            continue;
        if ((m = send.match(line)).hasMatch() && numbers(m.captured(2)) &&
            numbers(m.captured(3) + "," + m.captured(4), {"B3", "W0"}))
            continue;
        // A pause without a duration is copied as it stands: an empty entry in the table.
        FUZZ_CHECK((m = table.match(line)).hasMatch() && numbers(m.captured(1), {QString()}));
    }
    return 0;
}
