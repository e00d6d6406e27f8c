#include "support/TestSupport.h"

#include "LinkTestSupport.h"

#include "app/FileHelpers.h"
#include "link/AllServos.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"

#include <QTemporaryDir>

using Field = ProgramPropertyStore::Field;

class TestLinkSession : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    // A failure stops before the sliders and the port; the same change made valid reaches both.
    void propertiesReachSlidersAndPort()
    {
        BoardRig rig;
        RecordingSliders sliders;
        rig.session.SetSliders(&sliders);
        ProgramProperties p = rig.properties.Properties();
        p.ServoMax = QStringLiteral("lots");
        p.BaudRate = QStringLiteral("9600");
        rig.properties.SetProperties(p);
        QCOMPARE(
            TestMessages().takeTexts(),
            QStringList{QStringLiteral("Routine Code: 0061\r\nError Numer: 13\r\nError Description: Type mismatch")});
        QVERIFY(sliders.ranges.isEmpty());
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(rig.link.Settings(), QStringLiteral("2400,N,8,1"));

        p.ServoMax = QStringLiteral("200");
        p.ServoMin = QStringLiteral("20.5");
        rig.properties.SetProperties(p);
        QCOMPARE(sliders.ranges, (QList<QPair<int, int>>(16, {20, 200})));
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(deviceSpeed(rig.board.DevicePath()), speed_t(B9600));
    }

    void fileWithUnavailablePortKeepsThePortInUse()
    {
        BoardRig rig;
        SerialPortMap::SetDevicePath(2, QStringLiteral("/dev/taveloq-no-such-device"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("two.tqp"));
        QVERIFY(WriteWholeFile(path, QStringLiteral(";CommPort=2\r\nmov 1,2\r\n")));
        ProgramListing listing(dir.filePath(QStringLiteral("tq0001.tmp")));
        ProgramCommands commands(rig.properties, listing);
        commands.SetCurrentProgramPath(path);
        commands.LoadProgramFile();
        ExpectMessage(QStringLiteral("Comm Port 2is not available.  Taveloq will now go into Offline mode."),
                      MsgIcon::Information);
        QCOMPARE(rig.properties.Properties().CommPort, QStringLiteral("1"));
        QCOMPARE(rig.session.CommPortStatus(), QStringLiteral("Offline"));
        QCOMPARE(listing.Items(), QStringList{QStringLiteral("mov 1,2")});
    }

    // Whenever the port stays closed at start-up, the status says so.
    void statusFollowsFailedOpening_data() { AddTestDataRows(QStringLiteral("link/failed-opening.txt")); }
    void statusFollowsFailedOpening()
    {
        QFETCH(QStringList, row);
        BoardRig rig(1, false);
        ServoLink other(rig.properties);
        if (row[1] == QLatin1String("in use"))
            other.Open();
        else
            SerialPortMap::SetDevicePath(1, QStringLiteral("/dev/taveloq-no-such-device"));
        QVERIFY(!rig.session.OpenAtStartUp());
        QVERIFY2(TestMessages().takeTexts().value(0).startsWith(row[2]), qPrintable(row[2]));
        QCOMPARE(rig.session.CommPortStatus(), QStringLiteral("Offline"));
        QVERIFY(!rig.link.PortOpen());
    }

    void startUpKeepsSettingsForOtherBaudTexts()
    {
        BoardRig rig(1, false);
        {
            const QSignalBlocker quiet(rig.properties);
            rig.properties.SetValue(Field::BaudRate, QStringLiteral("4800"));
        }
        rig.link.SetSettings(QStringLiteral("1200,N,8,1"));
        QVERIFY(rig.session.OpenAtStartUp());
        QCOMPARE(rig.link.Settings(), QStringLiteral("1200,N,8,1"));
    }

    void allServosSendFrameThenSlider()
    {
        BoardRig rig;
        RecordingSliders sliders;
        QList<ServoFrame> seen;
        // When each slider moves, its frame must already be at the board.
        sliders.onValue = [&](int, int) { seen += rig.board.ReadFrames(1, 1000); };
        // Frames round halves to even; sliders take the whole-number part.
        ProgramProperties p;
        p.ServoCenter = QStringLiteral("127.5");
        CenterAllServos(rig.link, p, sliders);
        QCOMPARE(seen.size(), 16);
        QCOMPARE(seen[15], (ServoFrame{0xFF, 15, 128}));
        QCOMPARE(sliders.values[15], qMakePair(15, 127));
    }

    void allServosStopAtFirstFailure()
    {
        BoardRig rig;
        RecordingSliders sliders;
        ProgramProperties p;
        p.ServoMax = QStringLiteral("256");
        p.ServoMin = QStringLiteral("low");
        MaxAllServos(rig.link, p, sliders);
        MinAllServos(rig.link, p, sliders);
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 2);
        QVERIFY(reports[0].startsWith(QStringLiteral("Routine Code: 0004\r\nError Numer: 5\r\n")));
        QVERIFY(reports[1].startsWith(QStringLiteral("Routine Code: 0005\r\nError Numer: 13\r\n")));
        QVERIFY(sliders.values.isEmpty());
        QVERIFY(rig.board.ReadAvailable(100).isEmpty());
    }

    void allServosOnVanishingBoardShowOneMessage()
    {
        BoardRig rig;
        rig.board.Unplug();
        RecordingSliders sliders;
        CenterAllServos(rig.link, ProgramProperties{}, sliders);
        QCOMPARE(TestMessages().take().size(), 1);
        QVERIFY(!rig.link.PortOpen());
        // The rest of the servos are moved as Offline.
        QCOMPARE(sliders.values.size(), 16);
    }
};

TQ_TEST_MAIN(TestLinkSession)
#include "tst_LinkSession.moc"
