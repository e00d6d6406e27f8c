// The timeline of a 32,767-line program with scripts (the program of
// bench_trace), offscreen unless a platform is chosen. First edits: what the
// UI thread spends on an edit (the listing's command, handing the trace to
// the worker, taking the new lanes, the repaint) and how long the worker
// takes from the request to the new lanes. Then repaints while scrolling and
// zooming, at the whole program, 1 s and 10 ms a screen: the whole repaint
// (scroll bars included) and the view's own painting in it.
// Medians of several runs, maximum beside them.
#include "../support/BenchProgram.h"
#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "program/ProgramListing.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kLines = kBenchLines;
constexpr int kEdits = 9;
constexpr int kRepaints = 31;

struct Figures
{
    std::vector<double> ms;
    void add(double value) { ms.push_back(value); }
    QString text() const
    {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return QStringLiteral("%1 ms (max %2)").arg(v[v.size() / 2], 0, 'f', 2).arg(v.back(), 0, 'f', 2);
    }
};

double msOf(const std::function<void()> &step)
{
    QElapsedTimer t;
    t.start();
    step();
    return t.nsecsElapsed() / 1e6;
}

/// Times the two steps of the dock on the UI thread, its timer going off (it hands the program
/// to the worker) and the tracer's news that its thread has finished (it takes the new lanes),
/// and the view's own painting within a repaint.
class TimingApplication final : public QApplication
{
public:
    using QApplication::QApplication;
    const QObject *tracer = nullptr;
    const QObject *viewport = nullptr;
    double timerMs = 0;
    double finishedMs = 0;
    double paintMs = 0;

    bool notify(QObject *receiver, QEvent *event) override
    {
        double *record = nullptr;
        if (event->type() == QEvent::Timer && qobject_cast<QTimer *>(receiver))
            record = &timerMs;
        else if (event->type() == QEvent::MetaCall && receiver == tracer)
            record = &finishedMs;
        else if (event->type() == QEvent::Paint && receiver == viewport)
            record = &paintMs;
        if (!record)
            return QApplication::notify(receiver, event);
        QElapsedTimer t;
        t.start();
        const bool done = QApplication::notify(receiver, event);
        *record = t.nsecsElapsed() / 1e6;
        return done;
    }
};

/// Serves events until done() holds, sleeping while there are none (the worker has the other core).
void serveUntil(const std::function<bool()> &done, QEventLoop::ProcessEventsFlags flags)
{
    while (!done())
        QCoreApplication::processEvents(flags);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    QDir().mkpath(DataPaths::ScriptsFolder());
    WriteWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/arm.tqs"),
                   QStringLiteral("mov 4,10\r\npause 20\r\nscript wrist.tqs\r\nmov 4,200\r\n"));
    WriteWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/wrist.tqs"),
                   QStringLiteral("mov 5,30\r\nmov 6,90\r\n"));

    ProgramPropertyStore properties;
    properties.SetValue(PropertyField::InterInstructionDelay, QStringLiteral("20"));
    ServoModel servos;
    ProgramListing listing(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
    listing.CreateTempFile();
    TimelineDock dock(listing, properties, servos);
    dock.resize(1130, 420);
    dock.show();
    TimelineView &view = dock.View();
    app.tracer = &dock.Tracer();
    app.viewport = view.viewport();
    listing.Reset(MakeBenchProgram());
    serveUntil([&] { return view.Lanes().lineStarts.size() == kLines; }, QEventLoop::WaitForMoreEvents);

    // Edits: one line in the middle changed back and forth.
    Figures edit, request, take, repaint, worker;
    for (int i = 0; i < kEdits; ++i) {
        const qint64 endBefore = view.Lanes().endMs;
        edit.ms.push_back(msOf([&] {
            listing.ReplaceLine(kLines / 2, i % 2 ? QStringLiteral("mov 3,40") : QStringLiteral("pause 1000"),
                                QStringLiteral("Edit"));
        }));
        serveUntil([&] { return dock.Tracer().Busy(); }, QEventLoop::AllEvents);
        request.ms.push_back(app.timerMs);
        QElapsedTimer traced;
        traced.start();
        serveUntil([&] { return view.Lanes().endMs != endBefore; }, QEventLoop::WaitForMoreEvents);
        take.ms.push_back(app.finishedMs);
        worker.ms.push_back(traced.nsecsElapsed() / 1e6);
        repaint.add(msOf([&] { view.viewport()->repaint(); }));
    }

    QTextStream out(stdout);
    out << kLines << " lines, " << view.Lanes().servos.size() << " servo lanes, " << view.Lanes().sounds.size()
        << " sound lanes, " << view.Lanes().endMs / 1000 << " s; view " << view.viewport()->width() << " x "
        << view.viewport()->height() << " px\n"
        << "edit (listing command)          " << edit.text() << "\n"
        << "timeline: hand to the worker    " << request.text() << "\n"
        << "timeline: take the new lanes    " << take.text() << "\n"
        << "repaint with the new lanes      " << repaint.text() << "\n"
        << "worker: request to new lanes    " << worker.text() << "\n";

    const int columns = view.viewport()->width() - TimelineView::kLabelWidth;
    const struct
    {
        const char *name;
        double msPerScreen;
    } zooms[] = {{"whole program", 0}, {"1 s a screen", 1000}, {"10 ms a screen", 10}};
    for (const auto &zoom : zooms) {
        view.Fit();
        if (zoom.msPerScreen > 0)
            view.ZoomBy(zoom.msPerScreen / columns / view.MsPerPixel(), TimelineView::kLabelWidth);
        QScrollBar *bar = view.horizontalScrollBar();
        bar->setValue(bar->maximum() / 2);
        const QString screen = QString::number(view.MsPerPixel() * columns, 'f', 0);
        Figures scrolling, scrollingView, zooming, zoomingView;
        for (int i = 0; i < kRepaints && bar->maximum() > 0; ++i) {
            bar->setValue(bar->value() + bar->pageStep() / 3);
            scrolling.add(msOf([&] { view.viewport()->repaint(); }));
            scrollingView.add(app.paintMs);
        }
        // In and out by a wheel step, about the middle.
        for (int i = 0; i < kRepaints; ++i) {
            view.ZoomBy(i % 2 ? 1.25 : 0.8, TimelineView::kLabelWidth + columns / 2);
            zooming.add(msOf([&] { view.viewport()->repaint(); }));
            zoomingView.add(app.paintMs);
        }
        out << "repaint, " << zoom.name << " (" << screen << " ms)\n"
            << "  scrolling: " << (scrolling.ms.empty() ? QStringLiteral("-") : scrolling.text())
            << ", the view's own painting " << (scrollingView.ms.empty() ? QStringLiteral("-") : scrollingView.text())
            << "\n  zooming:   " << zooming.text() << ", the view's own painting " << zoomingView.text() << "\n";
    }
    return 0;
}
