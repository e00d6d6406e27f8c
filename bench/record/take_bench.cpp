// A 60-second take of all 16 servos captured at 100 Hz (96,000 moves, each
// servo a smooth swing of its own speed) thinned with the default tolerance
// and written as lines alone and over a 2,000-line program. Median of several
// runs of each step.
#include "../support/BenchProgram.h"
#include "execution/ProgramTrace.h"
#include "record/Take.h"
#include "record/TakeLines.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kRuns = 9;

Take makeTake()
{
    Take take;
    for (qint64 t = 0; t < 60'000; t += 10)
        for (int servo = 0; servo < 16; ++servo)
            take.Append(t, servo,
                        int(std::lround(127 + 100 * std::sin(2 * std::numbers::pi * t / (3'000.0 + 700 * servo)))));
    take.SetLength(60'000);
    return take;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const Take take = makeTake();
    QStringList program;
    for (int i = 0; i < 2'000; ++i)
        program << (i % 4 == 3 ? QStringLiteral("pause 30") : QStringLiteral("mov %1,%2").arg(i % 16).arg(i % 255));
    ProgramProperties properties;
    properties.InterInstructionDelay = QStringLiteral("20");
    RunRequest request;
    request.program = ResolvedProgram(program, {});
    request.properties = properties;
    const ProgramTrace trace = ProgramTrace::Run(request);

    std::vector<double> thin, alone, over;
    qsizetype kept = 0, lines = 0, merged = 0;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        const Take thinned = take.Thinned();
        thin.push_back(double(t.nsecsElapsed()) / 1e6);
        t.start();
        const TakeLines out = TakeLines::OfTake(thinned, properties);
        alone.push_back(double(t.nsecsElapsed()) / 1e6);
        t.start();
        const TakeLines merge = TakeLines::OverTrace(thinned, program, trace, properties);
        over.push_back(double(t.nsecsElapsed()) / 1e6);
        kept = thinned.Moves().size();
        lines = out.lines.size();
        merged = out.merged;
    }
    QTextStream(stdout) << "moves " << take.Moves().size() << ", kept " << kept << ", lines " << lines << ", merged "
                        << merged << "\nthinning " << Median(thin) << " ms\nto lines " << Median(alone)
                        << " ms\nover the program " << Median(over) << " ms\n";
    return 0;
}
