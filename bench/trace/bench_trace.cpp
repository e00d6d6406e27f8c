// Traces a 32,767-line program on virtual time: mov lines with a pause, a
// sound and a script every so often, the script calling another. Gives the
// median of several runs for reading the scripts, for the run itself and for
// the CSV that taveloq-play --trace prints, the timeline's lanes and the pixel
// columns of every lane across a 1,600-pixel view of the whole run.
#include "../support/BenchProgram.h"
#include "app/FileHelpers.h"
#include "execution/ProgramTrace.h"
#include "execution/TraceLanes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

constexpr int kLines = kBenchLines;
constexpr int kRuns = 9;

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scripts;
    WriteWholeFile(scripts.filePath(QStringLiteral("arm.tqs")),
                   QStringLiteral("mov 4,10\r\npause 20\r\nscript wrist.tqs\r\nmov 4,200\r\n"));
    WriteWholeFile(scripts.filePath(QStringLiteral("wrist.tqs")), QStringLiteral("mov 5,30\r\nmov 6,90\r\n"));
    const QStringList program = MakeBenchProgram();
    std::vector<double> resolve, run, csv, lanes, columns;
    qsizetype events = 0;
    qsizetype bytes = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        RunRequest request;
        request.program = ResolvedProgram(program, scripts.path());
        request.center = true;
        request.properties.InterInstructionDelay = QStringLiteral("20");
        resolve.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const ProgramTrace trace = ProgramTrace::Run(request);
        run.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        trace.WriteCsv(out);
        csv.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const TraceLanes drawn = TraceLanes::OfTrace(trace);
        lanes.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        constexpr int kWidth = 1600;
        for (const TraceLanes::ServoLane &lane : drawn.servos)
            TraceLanes::Columns(lane.steps, 0, double(drawn.endMs) / kWidth, kWidth);
        for (const TraceLanes::SoundLane &lane : drawn.sounds)
            TraceLanes::SpanColumns(lane.spans, 0, double(drawn.endMs) / kWidth, kWidth);
        columns.push_back(t.nsecsElapsed() / 1e6);
        events = trace.events.size();
        bytes = out.size();
    }
    QTextStream(stdout) << kLines << " lines, " << events << " events, " << bytes / 1024 << " KiB of CSV; median of "
                        << kRuns << " runs: resolve " << QString::number(Median(resolve), 'f', 1) << " ms, trace "
                        << QString::number(Median(run), 'f', 1) << " ms, CSV " << QString::number(Median(csv), 'f', 1)
                        << " ms, lanes " << QString::number(Median(lanes), 'f', 1) << " ms, columns "
                        << QString::number(Median(columns), 'f', 1) << " ms\n";
    return 0;
}
