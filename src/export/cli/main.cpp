// taveloq-export: writes a program file as BASIC source for a microcontroller,
// for scripted builds of figures.

#include "app/DataPaths.h"
#include "export/BasicExport.h"
#include "export/ExportCommand.h"
#include "platform/AppError.h"
#include "platform/CommandLine.h"
#include "platform/Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

struct Target
{
    const char *option;
    const char *name;
};

// In the order of the export dialog's list, which is the order of the target table.
constexpr Target kTargets[BasicExport::kTargetCount] = {{"bs1", "BASIC Stamp I"},
                                                        {"bs2", "BASIC Stamp II"},
                                                        {"bsx", "BASIC Stamp IIsx"},
                                                        {"pbc", "PicBasic"},
                                                        {"pbp", "PicBasic Pro"}};

QString targetsHelp()
{
    QString text = QStringLiteral("\nTargets and their pins:\n");
    for (int t = 0; t < BasicExport::kTargetCount; ++t) {
        text += QStringLiteral("  %1  %2: %3\n")
                    .arg(QLatin1String(kTargets[t].option))
                    .arg(QLatin1String(kTargets[t].name), -17)
                    .arg(BasicExport::PinList(t).join(QLatin1Char(' ')));
    }
    return text;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    CommandLine line(QStringLiteral("taveloq-export"));
    QCommandLineParser &parser = line.Parser();
    parser.setApplicationDescription(
        QStringLiteral("Writes a program file as BASIC source for a microcontroller, with the properties of its "
                       "header.\nServos start at position 0; scripts come from ") +
        DataPaths::ScriptsFolder() + QLatin1Char('.'));

    const QCommandLineOption targetOption(QStringLiteral("target"),
                                          QStringLiteral("The microcontroller: bs1, bs2, bsx, pbc or pbp."),
                                          QStringLiteral("TARGET"));
    const QCommandLineOption pinOption(QStringLiteral("pin"), QStringLiteral("The output pin, one of the target's."),
                                       QStringLiteral("PIN"));
    const QCommandLineOption baudOption(QStringLiteral("baud"), QStringLiteral("2400 or 9600."),
                                        QStringLiteral("BAUD"));
    const QCommandLineOption lookupOption(QStringLiteral("lookup"),
                                          QStringLiteral("A loop over LookUp tables instead of SEROUT lines."));
    const QCommandLineOption loopOption(QStringLiteral("loop"), QStringLiteral("Play the program again and again."));
    const QCommandLineOption outOption(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                       QStringLiteral("The file to write; - for standard output."),
                                       QStringLiteral("OUT"));
    parser.addOptions({targetOption, pinOption, baudOption, lookupOption, loopOption, outOption});
    parser.addPositionalArgument(QStringLiteral("PROGRAM.tqp"), QStringLiteral("The program file to export."));

    if (const auto status = line.Read(app.arguments(), targetsHelp()))
        return *status;

    for (const QCommandLineOption &required : {targetOption, pinOption, baudOption, outOption}) {
        if (!parser.isSet(required))
            return line.BadUsage(QStringLiteral("missing --%1").arg(required.names().constLast()));
    }
    if (parser.positionalArguments().size() != 1)
        return line.BadUsage(QStringLiteral("give one program file"));

    ExportSettings settings;
    settings.version = -1;
    for (int t = 0; t < BasicExport::kTargetCount; ++t) {
        if (parser.value(targetOption) == QLatin1String(kTargets[t].option))
            settings.version = t;
    }
    if (settings.version < 0)
        return line.Fail(
            QStringLiteral("unknown target %1; give bs1, bs2, bsx, pbc or pbp").arg(parser.value(targetOption)));
    const QStringList pins = BasicExport::PinList(settings.version);
    settings.pin = int(pins.indexOf(parser.value(pinOption)));
    if (settings.pin < 0) {
        return line.Fail(QStringLiteral("%1 has no pin %2; its pins are %3")
                             .arg(QLatin1String(kTargets[settings.version].name), parser.value(pinOption),
                                  pins.join(QLatin1Char(' '))));
    }
    const QString baud = parser.value(baudOption);
    if (baud != QLatin1String("2400") && baud != QLatin1String("9600"))
        return line.Fail(QStringLiteral("unknown baud %1; give 2400 or 9600").arg(baud));
    settings.baud = baud == QLatin1String("2400") ? 0 : 1;
    settings.method = parser.isSet(lookupOption) ? 1 : 0;

    const QString programPath = parser.positionalArguments().constFirst();
    const ExportCommand::Outcome outcome =
        ExportCommand::FromProgramFile(programPath, ExportChoice{settings, parser.isSet(loopOption)});
    for (const MessageRequest &message : outcome.messages)
        line.Say(message.text);
    if (outcome.refusal)
        return line.Fail(*outcome.refusal);

    const QString outPath = parser.value(outOption);
    try {
        ExportCommand::Write(outPath, outcome.code);
    } catch (const AppError &e) {
        return line.Fail(QStringLiteral("cannot write %1: %2").arg(outPath, e.description()));
    }
    return 0;
}
