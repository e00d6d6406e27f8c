// Edits of a 32,767-line program as the editor's commands make them, each one
// undo step with the temporary file rewritten: insert, undo and redo of a
// line, a 10,000-line paste and its undo, a move of 1,000 selected lines; then
// Open and Save, and the memory of 1,000 undo steps. Prints the median of
// several runs of each step.
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kLines = 32767;
constexpr int kRuns = 9;

QByteArray makeProgram()
{
    QByteArray text = ";Version=1.0\r\n;InterInstructionDelay=20\r\n";
    for (int i = 0; i < kLines; ++i)
        text += i % 8 == 3 ? QByteArray("pause 250\r\n")
                           : "mov " + QByteArray::number(i % 16) + ',' + QByteArray::number((i * 37) % 255) + "\r\n";
    return text;
}

double medianMs(const std::function<void()> &step)
{
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer t;
        t.start();
        step();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Resident memory in kB, from the kernel's own count.
long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("big.tqp"));
    WriteWholeFileBytes(source, makeProgram());
    ProgramPropertyStore properties;
    ProgramListing listing(dir.filePath(QStringLiteral("tq0001.tmp")));
    listing.CreateTempFile();
    ProgramCommands commands(properties, listing);

    const double openMs = medianMs([&] {
        commands.SetCurrentProgramPath(source);
        commands.LoadProgramFile();
    });
    if (listing.Items().size() != kLines)
        qFatal("loaded %lld lines instead of %d", qlonglong(listing.Items().size()), kLines);
    constexpr int middle = kLines / 2;
    const double insertMs =
        medianMs([&] { listing.InsertLines(middle, {QStringLiteral("Mov 12,200")}, QStringLiteral("Insert")); });
    const double undoMs = medianMs([&] { listing.Undo(); });
    const double redoMs = medianMs([&] { listing.Redo(); });
    for (int run = 0; run < kRuns; ++run)
        listing.Undo();

    QStringList pasted;
    for (int i = 0; i < 10000; ++i)
        pasted << QStringLiteral("pause %1").arg(i);
    const double pasteMs = medianMs([&] {
        listing.InsertLines(middle, pasted, QStringLiteral("Paste"));
        listing.Undo();
    });
    QList<int> selected;
    for (int i = 0; i < 1000; ++i)
        selected << 5000 + i * 7; // lines apart, as a Ctrl-click selection gives them
    const double moveMs = medianMs([&] { listing.MoveLinesBy(selected, 1, QStringLiteral("Move Down")); });
    for (int run = 0; run < kRuns; ++run)
        listing.Undo();

    const long before = residentKb();
    for (int i = 0; i < 1000; ++i) {
        if (i % 2)
            listing.ReplaceLine(i, QStringLiteral("pause %1").arg(i), QStringLiteral("Edit"));
        else
            listing.InsertLines(i, {QStringLiteral("Mov 3,%1").arg(i % 255)}, QStringLiteral("Insert"));
    }
    const long historyKb = residentKb() - before;
    if (listing.UndoText() != QLatin1String("Edit"))
        qFatal("the history lost its steps");
    const double saveMs = medianMs([&] {
        commands.SetCurrentProgramPath(dir.filePath(QStringLiteral("resaved.tqp")));
        if (!commands.SaveProgram(false))
            qFatal("save failed");
    });

    QTextStream(stdout)
        << kLines << " lines, median of " << kRuns << " runs\n"
        << QStringLiteral("open                      %1 ms\n").arg(openMs, 0, 'f', 1)
        << QStringLiteral("insert a line             %1 ms\n").arg(insertMs, 0, 'f', 1)
        << QStringLiteral("undo the insert           %1 ms\n").arg(undoMs, 0, 'f', 1)
        << QStringLiteral("redo the insert           %1 ms\n").arg(redoMs, 0, 'f', 1)
        << QStringLiteral("paste 10,000 lines + undo %1 ms\n").arg(pasteMs, 0, 'f', 1)
        << QStringLiteral("move 1,000 selected lines %1 ms\n").arg(moveMs, 0, 'f', 1)
        << QStringLiteral("save                      %1 ms\n").arg(saveMs, 0, 'f', 1)
        << QStringLiteral("1,000 undo steps          %1 MB resident\n").arg(historyKb / 1024.0, 0, 'f', 1);
    return 0;
}
