#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/FakeExecutionHost.h"
#include "platform/Clock.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"
#include "support/ToneFile.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineView.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QToolTip>

class TestTimelineDock : public TestBase, public IFileDialogService
{
    Q_OBJECT

    ProgramPropertyStore m_store;
    ServoModel m_servos;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<TimelineDock> m_dock;
    std::unique_ptr<FakeHost> m_host;
    VirtualClock m_clock;
    std::unique_ptr<ExecutionController> m_exec;

    QString m_chosen;

    QString choose(const FileDialogRequest &) override { return m_chosen; }
    TimelineView &view() { return m_dock->View(); }
    QString hover(const QPoint &pos)
    {
        QToolTip::showText(QCursor::pos(), QStringLiteral("none"), view().viewport());
        QHelpEvent hover(QEvent::ToolTip, pos, view().viewport()->mapToGlobal(pos));
        QApplication::sendEvent(view().viewport(), &hover);
        return QToolTip::text();
    }
    // How many pixels of a lane's column hold the colour.
    int inked(const QImage &image, int lane, qint64 ms, const QColor &colour)
    {
        const QRect rect = view().LaneRect(lane);
        int n = 0;
        for (int y = rect.top(); y < rect.bottom(); ++y)
            n += image.pixelColor(view().XOf(ms), y) == colour;
        return n;
    }
    QPoint at(int lane, qint64 ms) { return {view().XOf(ms), lane < 0 ? 5 : view().LaneRect(lane).center().y()}; }
    // The topmost pixel of the trace's ink in a lane's column, -1 for none.
    int inkY(const QImage &image, int lane, qint64 ms)
    {
        const QRect rect = view().LaneRect(lane);
        for (int y = rect.top(); y < rect.bottom(); ++y)
            if (image.pixelColor(view().XOf(ms), y) == view().palette().color(QPalette::Text))
                return y;
        return -1;
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        m_listing = std::make_unique<ProgramListing>(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        m_listing->Reset({"mov 2,10", "wav hi.wav", "pause 500", "mov 5,200", "mov 2,30"});
        m_store.SetValue(PropertyField::InterInstructionDelay, QStringLiteral("100"));
        m_dock = std::make_unique<TimelineDock>(*m_listing, m_store, m_servos);
        m_dock->resize(1020, 300);
        m_dock->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dock.get()));
        QTRY_COMPARE(view().Lanes().servos.size(), 2);
    }
    void writeScript(const QString &name, const QString &text)
    {
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + QLatin1Char('/') + name, text));
    }

    void cleanup()
    {
        if (m_host)
            m_host->log.release.release(); // a failed check must not leave a run held
        m_exec.reset();
        m_host.reset();
        m_dock.reset();
        TestBase::cleanup();
    }

    // Lanes for servos 2 and 5 and the sound, drawn as the positions held; a click selects the line behind
    // what is under it, the selected line is marked, and an edit draws the new program.
    void lanesClicksAndEdits()
    {
        QCOMPARE(view().Lanes().sounds.size(), 1);
        QImage image = view().viewport()->grab().toImage();
        QVERIFY(inkY(image, 0, 400) > 0 && inkY(image, 0, 850) > 0 && inkY(image, 0, 850) < inkY(image, 0, 400));
        QCOMPARE(inkY(image, 1, 400), -1);
        QVERIFY(inkY(image, 1, 750) > 0);

        // lane (-1 the ruler), ms, the line selected
        const int clicks[][3] = {{0, 750, 0}, {1, 750, 3}, {2, 650, 1}, {-1, 300, 2}, {0, 850, 4}};
        for (const auto &[lane, ms, line] : clicks) {
            QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, at(lane, ms));
            QCOMPARE(m_listing->SelectedLine(), line);
        }
        QCOMPARE(hover(at(1, 750)), QStringLiteral("Line 4 at 0.700 s: mov 5,200"));

        m_listing->SetSelectedLine(3);
        image = view().viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(view().XOf(700), 5), view().palette().color(QPalette::Highlight));

        m_listing->ReplaceLine(3, QStringLiteral("mov 6,200"), QStringLiteral("Edit"));
        QTRY_COMPARE(view().Lanes().servos.at(1).servo, 6);
        // A narrower range: position 30 is drawn at the top of the lane.
        m_store.SetValue(PropertyField::ServoMax, QStringLiteral("30"));
        QTRY_VERIFY(inkY(view().viewport()->grab().toImage(), 0, 850) < view().LaneRect(0).top() + 8);
    }

    void playheadFollowsTheRun_data() { AddTestDataRows(QStringLiteral("timeline/playhead.txt")); }
    void playheadFollowsTheRun()
    {
        QFETCH(QStringList, row);
        writeScript(QStringLiteral("arm.tqs"), QStringLiteral("mov 1,10\r\nmov 1,20\r\nmov 1,30\r\n"));
        m_listing->Reset({"mov 2,50", "script arm.tqs", "pause 500"});
        QTRY_COMPARE(view().Lanes().lineStarts, (QList<qint64>{0, 100, 400}));
        m_listing->SetSelectedLine(row[3].toInt());
        m_host = std::make_unique<FakeHost>();
        m_exec = std::make_unique<ExecutionController>(*m_listing, m_store, m_servos);
        m_exec->SetLink(m_host.get());
        m_exec->SetClock(&m_clock);
        m_exec->SetMode(ExecutionMode(QStringList{"Once", "Loop", "RunToSelected", "StepOneLine"}.indexOf(row[1])));
        m_host->center = row[2];
        view().FollowRuns(*m_exec);
        const auto playhead = [this] {
            return QStringLiteral("line %1 run %2 at %3")
                .arg(view().Playhead().Line())
                .arg(view().Playhead().RunMs())
                .arg(view().PlayheadMs());
        };

        m_host->log.holdAt = row[4].toInt();
        m_exec->Execute();
        QVERIFY(m_host->log.entered.tryAcquire(1, 5000));
        QTRY_COMPARE(playhead(), QStringLiteral("line %1 run %2 at %3").arg(row[5], row[6], row[7]));
        if (row[8] == QLatin1String("Pause"))
            m_exec->Pause();
        m_host->log.release.release();
        if (row[8] == QLatin1String("Pause")) {
            QTRY_COMPARE(view().PlayheadMs(), row[9].toDouble());
            m_clock.advanceNs(10'000'000'000);
            QCOMPARE(view().PlayheadMs(), row[9].toDouble());
        }
        QSignalSpy ended(m_exec.get(), &ExecutionController::runEnded);
        if (!row[8].isEmpty())
            m_exec->Stop();
        QVERIFY(ended.wait(5000));
        QCOMPARE(playhead(), QStringLiteral("line -1 run %1 at -1").arg(view().Playhead().RunMs()));
    }

    // Edits while a trace is under way: it is cut short and dropped, and the lanes drawn are the last
    // edit's; closing in the middle of a trace does not wait for it.
    void newestEditWins()
    {
        // A hundred million instructions without a frame: only cancelling ends it soon.
        writeScript(QStringLiteral("a.tqs"), QStringLiteral("script b.tqs\r\n").repeated(1000));
        writeScript(QStringLiteral("b.tqs"), QStringLiteral("pause 0\r\n").repeated(1000));
        const QStringList slow(100, QStringLiteral("script a.tqs"));
        QList<int> shown; // the first servo of each set of lanes the dock got
        connect(&m_dock->Tracer(), &TimelineTracer::traced, this,
                [&shown](const TraceLanes &lanes) { shown << (lanes.servos.isEmpty() ? -1 : lanes.servos[0].servo); });
        m_listing->Reset(slow);
        QTRY_VERIFY(m_dock->Tracer().Busy());
        QCOMPARE(view().Lanes().servos.size(), 2); // the old lanes stay meanwhile
        m_listing->Reset({"mov 3,1"});
        QTRY_VERIFY(!m_dock->Tracer().Busy());
        QCOMPARE(shown, QList<int>{3});

        m_listing->Reset(slow);
        QTRY_VERIFY(m_dock->Tracer().Busy());
        QElapsedTimer closing;
        closing.start();
        m_dock.reset();
        QVERIFY(closing.elapsed() < 1000);
    }

    // A sound draws its waveform from its start until the next sound cuts it; a file that cannot be
    // read and a missing script say why; a script made meanwhile is seen when the timeline shows again.
    void soundsGapsAndExport()
    {
        WriteToneFile(DataPaths::UserDataFolder() + QStringLiteral("/hi.wav"), SF_FORMAT_PCM_16, 1, 8000);
        m_listing->Reset(
            {"mov 2,10", "wav hi.wav", "pause 300", "mov 5,200", "wav lo.wav", "pause 200", "script gone.tqs"});
        QTRY_COMPARE(view().Lanes().sounds.size(), 2);
        // The tone sounds from 300 ms into the file, 400 ms into the run; lo.wav cuts it at 600.
        const QImage image = view().viewport()->grab().toImage();
        const QColor wave = view().palette().color(QPalette::Highlight);
        QVERIFY(inked(image, 2, 300, wave) <= 2);
        QVERIFY(inked(image, 2, 500, wave) > view().LaneRect(2).height() / 2);
        QCOMPARE(inked(image, 2, 650, wave), 0);
        QVERIFY(hover({10, view().LaneRect(3).center().y()}).contains(DataPaths::UserDataFolder() + "/lo.wav"));
        // The run stops at the missing script, at its end: the gap is drawn inside the view.
        const QPoint gap(view().XOf(900) - 2, view().LaneRect(0).center().y());
        QCOMPARE(hover(gap), view().Lanes().reports.value(0));
        QVERIFY(hover(gap).contains(QStringLiteral("gone.tqs")));
        const QColor mark = image.pixelColor(gap);
        QVERIFY(mark.red() > mark.green() + 30);

        // Exported pictures: what the view shows, or every lane of the whole run.
        Services::setFileDialogs(this);
        const QString folder = DataPaths::UserDataFolder();
        const QString kinds[][2] = {{"Export as PNG Shown Zoom...", "shown.png"},
                                    {"Export as PNG Whole Program...", "whole.png"},
                                    {"Export as SVG Whole Program...", "whole.svg"}};
        for (const auto &[item, name] : kinds) {
            m_chosen = folder + '/' + name;
            view().findChild<QAction *>(item)->trigger();
        }
        QCOMPARE(QImage(folder + "/shown.png"), image.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QImage(folder + "/whole.png").size(),
                 QSize(view().viewport()->width(), view().LaneRect(3).bottom() + 1));
        QVERIFY(ReadWholeFile(folder + "/whole.svg").contains(QStringLiteral(">lo.wav<")));
        m_chosen = folder + "/no such folder/t.svg";
        view().findChild<QAction *>(kinds[2][0])->trigger();
        const QList<MessageRequest> shown = TestMessages().take();
        QVERIFY(shown.size() == 1 && shown[0].text.contains(m_chosen) && shown[0].icon == MsgIcon::Critical);
        Services::setFileDialogs(nullptr);

        writeScript(QStringLiteral("gone.tqs"), QStringLiteral("mov 2,99\r\n"));
        // Noticed as the user comes back to the window.
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(m_dock.get());
        QTRY_VERIFY(view().Lanes().gaps.isEmpty());
    }

    // The longest pause fits, is drawn and zooms without leaving the pixel range.
    void longestPause()
    {
        m_listing->Reset({"mov 2,10", "pause 2147483647", "mov 2,30"});
        QTRY_COMPARE(view().Lanes().endMs, 2147483947);
        const qint64 end = view().Lanes().endMs;
        const int right = view().viewport()->width();
        QVERIFY(view().XOf(end) > right - 3 && view().XOf(end) <= right);
        const QImage image = view().viewport()->grab().toImage();
        QVERIFY(inkY(image, 0, end - 1) < inkY(image, 0, 1000));
        for (int i = 0; i < 40; ++i)
            view().ZoomBy(0.1, right);
        QVERIFY(view().XOf(end) <= right && view().XOf(0) < 0);
        QVERIFY(!view().viewport()->grab().isNull());
    }
};

TQ_TEST_GUI_MAIN(TestTimelineDock)
#include "tst_TimelineDock.moc"
