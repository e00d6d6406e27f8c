// Exports generated programs past the 16-bit line count in both shapes and
// prints the time and the process's peak memory after each, to show that the
// export stays linear and holds no more than a few copies of the program.
#include "export/BasicExport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <sys/resource.h>

namespace {

QStringList makeProgram(int lines)
{
    QStringList program;
    program.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        if (i % 8 == 3)
            program << QStringLiteral("pause 250");
        else
            program << QStringLiteral("mov %1,%2").arg(i % 16).arg((i * 37) % 255);
    }
    return program;
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << "lines    shape   ms       output MiB  peak RSS MiB\n";
    for (const int lines : {32767, 1000000}) {
        for (const int method : {0, 1}) {
            BasicExport::Input in;
            in.lines = makeProgram(lines);
            in.interInstructionDelay = QStringLiteral("20");
            in.settings = {1, 0, 1, method};
            QElapsedTimer t;
            t.start();
            const BasicExport::Result result = BasicExport::Export(in);
            const double ms = t.nsecsElapsed() / 1e6;
            if (result.refusal || result.code.isEmpty())
                qFatal("export refused: %s", qPrintable(result.refusal.value_or(QString())));
            out << qSetFieldWidth(9) << Qt::left << lines << (method ? "lookup" : "serout") << qSetFieldWidth(0)
                << QString::number(ms, 'f', 1).leftJustified(9)
                << QString::number(result.code.size() / 1048576.0, 'f', 1).leftJustified(12)
                << QString::number(peakKiB() / 1024.0, 'f', 1) << '\n';
        }
    }
    return 0;
}
