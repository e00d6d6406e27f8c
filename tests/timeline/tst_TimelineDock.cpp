#include "app/DataPaths.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineView.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

class TestTimelineDock : public TestBase
{
    Q_OBJECT

    ProgramPropertyStore m_store;
    ServoModel m_servos;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<TimelineDock> m_dock;

    TimelineView &view() { return m_dock->View(); }
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
    void cleanup()
    {
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
        QHelpEvent hover(QEvent::ToolTip, at(1, 750), view().viewport()->mapToGlobal(at(1, 750)));
        QApplication::sendEvent(view().viewport(), &hover);
        QCOMPARE(QToolTip::text(), QStringLiteral("Line 4 at 0.700 s: mov 5,200"));

        m_listing->SetSelectedLine(3);
        image = view().viewport()->grab().toImage();
        QCOMPARE(image.pixelColor(view().XOf(700), 5), view().palette().color(QPalette::Highlight));

        m_listing->ReplaceLine(3, QStringLiteral("mov 6,200"), QStringLiteral("Edit"));
        QTRY_COMPARE(view().Lanes().servos.at(1).servo, 6);
        // A narrower range: position 30 is drawn at the top of the lane.
        m_store.SetValue(PropertyField::ServoMax, QStringLiteral("30"));
        QTRY_VERIFY(inkY(view().viewport()->grab().toImage(), 0, 850) < view().LaneRect(0).top() + 8);
    }
};

TQ_TEST_GUI_MAIN(TestTimelineDock)
#include "tst_TimelineDock.moc"
