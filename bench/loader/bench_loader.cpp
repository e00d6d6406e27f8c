// Reads and re-saves generated programs of growing size and prints the time per
// line, to show that loading stays linear in the number of lines.
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

QByteArray makeProgram(int lines)
{
    QByteArray text = ";Version=1.0\r\n;SynchByte=255\r\n;InterInstructionDelay=20\r\n;SmartDelay=(None)\r\n"
                      ";ServoMax=254\r\n;ServoMin=0\r\n;ServoCenter=127\r\n;CommPort=1\r\n;BaudRate=9600\r\n";
    text.reserve(text.size() + qsizetype(lines) * 14);
    for (int i = 0; i < lines; ++i) {
        switch (i % 8) {
        case 3:
            text += "pause 250\r\n";
            break;
        case 7:
            text += "script wave.tqs\r\n";
            break;
        default:
            text += "mov " + QByteArray::number(i % 16) + ',' + QByteArray::number((i * 37) % 255) + "\r\n";
        }
    }
    return text;
}

struct Timing
{
    double loadMs;
    double saveMs;
};

Timing measure(ProgramCommands &commands, const ProgramListing &listing, const QString &dir, int lines, int repeats)
{
    const QString source = dir + QStringLiteral("/big.tqp");
    WriteWholeFileBytes(source, makeProgram(lines));
    std::vector<double> loads, saves;
    for (int r = 0; r < repeats; ++r) {
        commands.SetCurrentProgramPath(source);
        QElapsedTimer t;
        t.start();
        commands.LoadProgramFile();
        loads.push_back(t.nsecsElapsed() / 1e6);
        if (listing.Items().size() != lines)
            qFatal("loaded %lld lines instead of %d", qlonglong(listing.Items().size()), lines);

        commands.SetCurrentProgramPath(dir + QStringLiteral("/resaved.tqp"));
        t.restart();
        if (!commands.SaveProgram(false))
            qFatal("save failed");
        saves.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(loads.begin(), loads.end());
    std::sort(saves.begin(), saves.end());
    return {loads[loads.size() / 2], saves[saves.size() / 2]};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ProgramPropertyStore properties;
    ProgramListing listing(dir.filePath(QStringLiteral("tq0001.tmp")));
    ProgramCommands commands(properties, listing);

    QTextStream out(stdout);
    out << "lines      load (ms)  save (ms)  load ns/line  save ns/line\n";
    for (const int lines : {32767, 125000, 250000, 500000, 1000000}) {
        const Timing t = measure(commands, listing, dir.path(), lines, lines > 250000 ? 3 : 5);
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(lines, -10)
                   .arg(t.loadMs, 10, 'f', 1)
                   .arg(t.saveMs, 10, 'f', 1)
                   .arg(t.loadMs * 1e6 / lines, 13, 'f', 0)
                   .arg(t.saveMs * 1e6 / lines, 13, 'f', 0);
        out.flush();
    }
    return 0;
}
