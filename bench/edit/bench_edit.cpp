// One edit of a 32,767-line program as the list's popup makes it: the lines
// changed, the temporary file rewritten and reloaded; then Open and Save of
// that program. Prints the median of several runs of each step.
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

// What the popup's commands do with the changed lines.
void applyEdit(ProgramListing &listing, const std::function<void(QStringList &)> &edit)
{
    QStringList items = listing.Items();
    edit(items);
    listing.SetItems(items);
    listing.UpdateTempFile();
    listing.Update();
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
    const double insertMs = medianMs([&] {
        applyEdit(listing, [](QStringList &items) { items.insert(middle, QStringLiteral("Mov 12,200")); });
        applyEdit(listing, [](QStringList &items) { items.removeAt(middle); });
    });
    const double saveMs = medianMs([&] {
        commands.SetCurrentProgramPath(dir.filePath(QStringLiteral("resaved.tqp")));
        if (!commands.SaveProgram(false))
            qFatal("save failed");
    });

    QTextStream(stdout) << kLines << " lines, median of " << kRuns << " runs\n"
                        << QStringLiteral("open                      %1 ms\n").arg(openMs, 0, 'f', 1)
                        << QStringLiteral("insert then delete a line %1 ms\n").arg(insertMs, 0, 'f', 1)
                        << QStringLiteral("save                      %1 ms\n").arg(saveMs, 0, 'f', 1);
    return 0;
}
