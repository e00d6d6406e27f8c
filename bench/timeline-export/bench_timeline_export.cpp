// Paints the timeline of a program that plays a 10-minute WAV: once, and again every 2 s over
// 10 minutes (300 cut spans), beside 16 servo lanes. Gives the median of several runs for a
// repaint of the shown view (the whole run in 1,600 pixels) and for pictures of the whole run at
// the widest (20,000 columns) as PNG and SVG, written to a temporary folder. Run with QT_QPA_PLATFORM=offscreen.
#include "app/DataPaths.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "program/ProgramListing.h"
#include "timeline/TimelineExport.h"
#include "timeline/TimelineSounds.h"
#include "timeline/TimelineView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 7;

void writeLongWav(const QString &path)
{
    constexpr int kRate = 44100;
    SF_INFO info = {0, kRate, 2, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    std::vector<float> second(size_t(kRate) * 2);
    for (int s = 0; s < 600; ++s) {
        for (int i = 0; i < kRate; ++i)
            second[size_t(i) * 2] = second[size_t(i) * 2 + 1] =
                float(0.5 * (1 + std::sin(s * 0.1)) * std::sin(i * 0.0627));
        sf_writef_float(file, second.data(), kRate);
    }
    sf_close(file);
}

double medianMs(const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    QApplication app(argc, argv);
    QDir().mkpath(DataPaths::UserDataFolder());
    writeLongWav(DataPaths::UserDataFolder() + QStringLiteral("/long.wav"));
    QTextStream out(stdout);

    ProgramPropertyStore store;
    store.SetValue(PropertyField::InterInstructionDelay, QStringLiteral("0"));
    ServoModel servos;
    ProgramListing listing(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
    TimelineView view(listing, servos);
    view.resize(1720, 16 * 44 + 60);
    view.show();

    QStringList once = {QStringLiteral("wav long.wav"), QStringLiteral("pause 600000")};
    for (int s = 0; s < 16; ++s)
        once << QStringLiteral("mov %1,%2").arg(s).arg(s * 15);
    QStringList cut;
    for (int i = 0; i < 300; ++i)
        cut << QStringLiteral("wav long.wav") << QStringLiteral("mov %1,%2").arg(i % 16).arg(i * 37 % 255)
            << QStringLiteral("pause 2000");
    const std::pair<const char *, QStringList> programs[] = {{"one 10-minute sound, 16 servo lanes", once},
                                                             {"300 cut sounds, 16 servo lanes", cut}};
    for (const auto &[title, items] : programs) {
        QElapsedTimer timer;
        timer.start();
        view.SetLanes(
            TraceLanes::OfProgram(items, store.Properties(), DataPaths::ScriptsFolder(), TimelineSounds::Lengths()));
        const double lanesMs = timer.nsecsElapsed() / 1e6;
        view.Fit();
        QImage shown(view.RenderSize(TimelineView::Extent::Shown), QImage::Format_RGB32);
        const double paint = medianMs([&] {
            QPainter painter(&shown);
            view.Render(painter, TimelineView::Extent::Shown);
        });
        // The closest zoom: the whole run is fitted into the widest picture.
        for (int i = 0; i < 60; ++i)
            view.ZoomBy(0.5, TimelineView::kLabelWidth);
        const QSize whole = view.RenderSize(TimelineView::Extent::Whole);
        const double png = medianMs([&] {
            TimelineExport::Write(view, QDir(home.path()).filePath(QStringLiteral("whole.png")),
                                  TimelineView::Extent::Whole, TimelineExport::Format::Png);
        });
        const double svg = medianMs([&] {
            TimelineExport::Write(view, QDir(home.path()).filePath(QStringLiteral("whole.svg")),
                                  TimelineView::Extent::Whole, TimelineExport::Format::Svg);
        });
        out << title << '\n'
            << QStringLiteral("  trace with the sound read (first time includes the overview): %1 ms\n")
                   .arg(lanesMs, 0, 'f', 1)
            << QStringLiteral("  repaint of %1 columns: %2 ms\n")
                   .arg(shown.width() - TimelineView::kLabelWidth)
                   .arg(paint, 0, 'f', 2)
            << QStringLiteral("  PNG of the whole run, %1x%2: %3 ms\n")
                   .arg(whole.width())
                   .arg(whole.height())
                   .arg(png, 0, 'f', 1)
            << QStringLiteral("  SVG of the whole run: %1 ms\n").arg(svg, 0, 'f', 1);
        out.flush();
    }
    return 0;
}
