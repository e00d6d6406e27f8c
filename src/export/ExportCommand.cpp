#include "export/ExportCommand.h"

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "platform/NumericText.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"

#include <QDateTime>
#include <QFile>

namespace ExportCommand {
namespace {

Outcome run(const QStringList &lines, const ProgramProperties &properties, const std::array<qint16, 16> &positions,
            const ExportChoice &choice, std::function<void(qsizetype, qsizetype)> lineProgress = {})
{
    BasicExport::Input in;
    in.lines = lines;
    in.synchByte = properties.SynchByte;
    in.interInstructionDelay = properties.InterInstructionDelay;
    in.smartDelay = properties.SmartDelay;
    in.positions = positions;
    in.settings = choice.settings;
    in.loop = choice.loop;
    in.scriptsFolder = DataPaths::ScriptsFolder();
    in.progress = std::move(lineProgress);
    return BasicExport::Export(in);
}

} // namespace

Outcome FromListing(const ProgramListing &listing, const ProgramProperties &properties,
                    const std::array<qint16, 16> &positions, const ExportChoice &choice, const Progress &progress)
{
    const auto step = [&progress](const QString &status, int position) {
        if (progress)
            progress(status, position);
    };
    const QString analyzing = QStringLiteral("Analyzing Data...");
    step(analyzing, 1);
    if (!FileExistsOnDisk(listing.TempFilePath()))
        return {QStringLiteral("Falied to find temporary file."), {}, {}};
    // A failed read is reported by the reader and leaves nothing to export.
    const QStringList lines = SplitFileLines(ReadWholeFile(listing.TempFilePath()));
    for (int position = 1; position <= 10; ++position)
        step(analyzing, position);
    const QString exporting = QStringLiteral("Exporting Data...");
    step(exporting, 10);
    return run(lines, properties, positions, choice, [&step, &exporting](qsizetype i, qsizetype n) {
        // One line leaves the bar where it is.
        if (n > 1)
            step(exporting, int(RoundHalfEven(10 + 90.0 * double(i + 1) / double(n - 1))));
    });
}

Outcome FromProgramFile(const QString &path, const ExportChoice &choice)
{
    ParsedProgram program;
    try {
        program = ReadProgramFile(path, ProgramProperties{});
    } catch (const AppError &e) {
        return {QStringLiteral("cannot read %1: %2").arg(path, e.description()), {}, {}};
    }
    QList<MessageRequest> dropped;
    if (program.droppedLines)
        dropped << MessageRequest{kUserMessageTitle, DroppedLinesMessage(path), MsgButtons::OkCancel,
                                  MsgIcon::Critical};
    // Values the application would not load (a sync byte that is not a number)
    // would be copied into the source as they stand.
    if (PropertiesInvalid(program.properties))
        return {QStringLiteral("%1 has invalid property values; nothing was exported").arg(path), dropped, {}};
    Outcome outcome = run(program.listing, program.properties, {}, choice);
    outcome.messages = dropped + outcome.messages;
    return outcome;
}

void Write(const QString &path, const QString &code)
{
    const QByteArray bytes = EncodeFileText(BasicExport::Header(QDateTime::currentDateTime()) + code);
    if (path != QLatin1String("-")) {
        WriteWholeFileBytes(path, bytes);
        return;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        throw AppError::pathFileAccess(QStringLiteral("standard output: ") + out.errorString());
}

} // namespace ExportCommand
