#include "support/TestSupport.h"

#include "LinkTestSupport.h"

#include "app/AppState.h"
#include "link/AllServos.h"
#include "link/PortStartUp.h"
#include "link/PropertyUpdater.h"
#include "link/ServoLink.h"
#include "mainwindow/PropertyGridModel.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString cell(const PropertyGridModel &grid, int row)
{
    return grid.CellText(row, 2);
}

} // namespace

class TestPropertyUpdater : public TestBase
{
    Q_OBJECT
private:
    // Grid, link and sliders as the main window wires them, port 3 on the board, Online.
    struct Rig
    {
        Rig()
            : updater(grid, link, &sliders)
        {
            MapPortToBoard(3, board);
            grid.SetCellText(PropertyGridModel::CommPort, 2, QStringLiteral("3"));
            grid.UpdatePropertiesFromGrid();
            sliders.ranges.clear();
        }
        VirtualBoard board;
        PropertyGridModel grid;
        ServoLink link;
        RecordingSliders sliders;
        PropertyUpdater updater;
    };

    void expectNotAvailable(const QString &port)
    {
        ExpectMessage(QStringLiteral("Comm Port ") + port +
                          QStringLiteral("is not available.  Taveloq will now go into Offline mode."),
                      MsgIcon::Information);
    }

private Q_SLOTS:
    void gridReachesStateSlidersAndPort()
    {
        Rig rig;
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(rig.link.Settings(), QStringLiteral("2400,N,8,1"));

        rig.grid.SetCellText(PropertyGridModel::SynchByte, 2, QStringLiteral("200"));
        rig.grid.SetCellText(PropertyGridModel::InterInstructionDelay, 2, QStringLiteral("Smart"));
        rig.grid.SetCellText(PropertyGridModel::SmartRating, 2, QStringLiteral("12"));
        rig.grid.SetCellText(PropertyGridModel::ServoMax, 2, QStringLiteral("200"));
        rig.grid.SetCellText(PropertyGridModel::ServoMin, 2, QStringLiteral("20.5"));
        rig.grid.SetCellText(PropertyGridModel::ServoCenter, 2, QStringLiteral("110"));
        rig.grid.UpdatePropertiesFromGrid();

        const ProgramProperties &p = App().Properties;
        QCOMPARE(p.SynchByte, QStringLiteral("200"));
        QCOMPARE(p.InterInstructionDelay, QStringLiteral("Smart"));
        QCOMPARE(p.SmartDelay, QStringLiteral("12"));
        QCOMPARE(p.ServoMax, QStringLiteral("200"));
        QCOMPARE(p.ServoMin, QStringLiteral("20.5"));
        QCOMPARE(p.ServoCenter, QStringLiteral("110"));
        QCOMPARE(rig.sliders.ranges, (QList<QPair<int, int>>(16, {20, 200})));
        QVERIFY(!rig.sliders.badRangeOrder);

        QVERIFY(rig.link.PortOpen());
        rig.link.SendServoFrame(5, 6);
        QCOMPARE(rig.board.ReadBytes(3, 2000), Bytes({200, 5, 6}));
        QCOMPARE(TestMessages().count(), 0);
    }

    void onlyTheExactWordBringsThePortOnline()
    {
        Rig rig;
        rig.grid.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Offline"));
        rig.grid.UpdatePropertiesFromGrid();
        QVERIFY(!rig.link.PortOpen());
        rig.grid.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("online"));
        rig.grid.UpdatePropertiesFromGrid();
        QVERIFY(!rig.link.PortOpen());
    }

    void failedReopenRestoresThePortInUseNotTheEditedCell()
    {
        // A program file sets the cells and applies them; the last cell the
        // user touched was the status row, whose text must not land in Comm Port.
        Rig rig;
        App().GridCellValue = {QStringLiteral("Online"), QStringLiteral("Offline")};
        rig.grid.SetCellText(PropertyGridModel::CommPort, 2, QStringLiteral("2"));
        SerialPortMap::SetDevicePath(2, QStringLiteral("/dev/taveloq-no-such-device"));
        rig.grid.UpdatePropertiesFromGrid();
        expectNotAvailable(QStringLiteral("2"));
        QCOMPARE(cell(rig.grid, PropertyGridModel::CommPort), QStringLiteral("3"));
        QCOMPARE(App().Properties.CommPort, QStringLiteral("3"));
    }

    void portInUseGoesOffline()
    {
        Rig rig;
        rig.grid.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Offline"));
        rig.grid.UpdatePropertiesFromGrid();
        ServoLink other;
        other.SetCommPort(QStringLiteral("3"));
        other.Open();

        rig.grid.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Online"));
        rig.grid.UpdatePropertiesFromGrid();
        expectNotAvailable(QStringLiteral("3"));
        QCOMPARE(cell(rig.grid, PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        QVERIFY(!rig.link.PortOpen());
        QVERIFY(other.PortOpen());
    }

    void otherFailureStopsWithReport()
    {
        Rig rig;
        rig.grid.SetCellText(PropertyGridModel::ServoMax, 2, QStringLiteral("lots"));
        rig.grid.SetCellText(PropertyGridModel::BaudRate, 2, QStringLiteral("9600"));
        rig.grid.UpdatePropertiesFromGrid();
        QCOMPARE(
            TestMessages().takeTexts(),
            QStringList{QStringLiteral("Routine Code: 0061\r\nError Numer: 13\r\nError Description: Type mismatch")});
        // Step 1 happened, steps 2 and 3 did not.
        QCOMPARE(App().Properties.ServoMax, QStringLiteral("lots"));
        QVERIFY(rig.sliders.ranges.isEmpty());
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(rig.link.Settings(), QStringLiteral("2400,N,8,1"));
        QCOMPARE(cell(rig.grid, PropertyGridModel::CommPortStatus), QStringLiteral("Online"));
    }

    void vanishedBoardShowsOfflineInGrid()
    {
        Rig rig;
        rig.board.Unplug();
        rig.link.SendServoFrame(0, 0);
        QCOMPARE(TestMessages().take().size(), 1);
        QCOMPARE(cell(rig.grid, PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        // Applying the grid again stays offline: no reopening, no second box.
        rig.grid.UpdatePropertiesFromGrid();
        QVERIFY(!rig.link.PortOpen());
        QCOMPARE(TestMessages().count(), 0);
    }

    void startUpKeepsSettingsForOtherBaudTexts()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        App().Properties.BaudRate = QStringLiteral("4800");
        PropertyGridModel grid;
        ServoLink link;
        link.SetSettings(QStringLiteral("1200,N,8,1"));
        QVERIFY(OpenPortAtStartUp(link, grid));
        QCOMPARE(link.Settings(), QStringLiteral("1200,N,8,1"));
    }

    void startUpPortInUse()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink other;
        other.Open();
        PropertyGridModel grid;
        ServoLink link;
        QVERIFY(!OpenPortAtStartUp(link, grid));
        ExpectMessage(QStringLiteral("Comm Port 1 is not available.  Taveloq will go into Offline mode."),
                      MsgIcon::Information);
        QCOMPARE(cell(grid, PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        QVERIFY(!link.PortOpen());
    }

    void startUpMissingPortReports()
    {
        SerialPortMap::SetDevicePath(1, QStringLiteral("/dev/taveloq-no-such-device"));
        PropertyGridModel grid;
        ServoLink link;
        QVERIFY(!OpenPortAtStartUp(link, grid));
        const QStringList texts = TestMessages().takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts[0].startsWith(QStringLiteral("Routine Code: 0009\r\nError Numer: 8002\r\nError Description: ")),
                 qPrintable(texts[0]));
        // The cell keeps asking for Online although the port is closed.
        QCOMPARE(cell(grid, PropertyGridModel::CommPortStatus), QStringLiteral("Online"));
        QVERIFY(!link.PortOpen());
    }

    void allServosSendFrameThenSlider()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link;
        link.Open();
        RecordingSliders sliders;
        QList<ServoFrame> seen;
        // When each slider moves, its frame must already be at the board.
        sliders.onValue = [&](int, int) { seen += board.ReadFrames(1, 1000); };
        // Frames round halves to even; sliders take the whole-number part.
        App().Properties.ServoCenter = QStringLiteral("127.5");
        CenterAllServos(link, sliders);
        QCOMPARE(seen.size(), 16);
        QCOMPARE(seen[15], (ServoFrame{0xFF, 15, 128}));
        QCOMPARE(sliders.values[15], qMakePair(15, 127));

        sliders.values.clear();
        seen.clear();
        MinAllServos(link, sliders);
        QCOMPARE(seen.size(), 16);
        QCOMPARE(seen[7], (ServoFrame{0xFF, 7, 0}));
        QCOMPARE(sliders.values.size(), 16);
    }

    void allServosStopAtFirstFailure()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link;
        link.Open();
        RecordingSliders sliders;
        App().Properties.ServoMax = QStringLiteral("256");
        MaxAllServos(link, sliders);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{QStringLiteral(
                     "Routine Code: 0004\r\nError Numer: 5\r\nError Description: Invalid procedure call or argument")});
        QVERIFY(sliders.values.isEmpty());
        QVERIFY(board.ReadAvailable(100).isEmpty());

        App().Properties.ServoMin = QStringLiteral("low");
        MinAllServos(link, sliders);
        QVERIFY(
            TestMessages().takeTexts().value(0).startsWith(QStringLiteral("Routine Code: 0005\r\nError Numer: 13")));
    }

    void allServosOnVanishingBoardShowOneMessage()
    {
        auto board = std::make_unique<VirtualBoard>();
        MapPortToBoard(1, *board);
        ServoLink link;
        link.Open();
        board->Unplug();
        RecordingSliders sliders;
        CenterAllServos(link, sliders);
        QCOMPARE(TestMessages().take().size(), 1);
        QVERIFY(!link.PortOpen());
        // The rest of the servos are moved as Offline.
        QCOMPARE(sliders.values.size(), 16);
    }
};

TQ_TEST_MAIN(TestPropertyUpdater)
#include "tst_PropertyUpdater.moc"
