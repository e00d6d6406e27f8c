#include "support/TestSupport.h"

#include "LinkTestSupport.h"

#include "link/ServoLink.h"
#include "platform/AppError.h"
#include "platform/cRegistry.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

class TestServoLink : public TestBase
{
    Q_OBJECT
    ProgramPropertyStore m_properties;

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        m_properties.SetProperties({});
    }

    void frameGoesOutAsThreeBytes_data()
    {
        QTest::addColumn<QString>("sync");
        QTest::addColumn<int>("servo");
        QTest::addColumn<int>("position");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("servo 3 at 127") << "255" << 3 << 127 << Bytes({0xFF, 0x03, 0x7F});
        QTest::newRow("servo 0 at 200") << "255" << 0 << 200 << Bytes({0xFF, 0x00, 0xC8});
        QTest::newRow("line-feed and zero bytes pass untouched") << "10" << 15 << 0 << Bytes({0x0A, 0x0F, 0x00});
        QTest::newRow("sync half rounds to even") << "254.5" << 1 << 13 << Bytes({0xFE, 0x01, 0x0D});
    }
    void frameGoesOutAsThreeBytes()
    {
        QFETCH(QString, sync);
        QFETCH(int, servo);
        QFETCH(int, position);
        QFETCH(QByteArray, expected);
        VirtualBoard board;
        MapPortToBoard(3, board);
        m_properties.SetValue(ProgramPropertyStore::Field::SynchByte, sync);
        ServoLink link(m_properties);
        link.SetCommPort(QStringLiteral("3"));
        link.Open();
        QVERIFY(link.PortOpen());
        link.SendServoFrame(servo, position);
        // No event loop turn: the bytes must already be on their way.
        QCOMPARE(board.ReadBytes(3, 2000), expected);
    }

    void badFrameWritesNothing_data()
    {
        QTest::addColumn<QString>("sync");
        QTest::addColumn<int>("servo");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("error");
        QTest::newRow("position 256") << "255" << 3 << 256 << 5;
        QTest::newRow("position -1") << "255" << 3 << -1 << 5;
        QTest::newRow("servo 16") << "255" << 16 << 10 << 5;
        QTest::newRow("sync 256") << "256" << 0 << 10 << 5;
        QTest::newRow("sync not a number") << "FF" << 0 << 10 << 13;
    }
    void badFrameWritesNothing()
    {
        QFETCH(QString, sync);
        QFETCH(int, servo);
        QFETCH(int, position);
        QFETCH(int, error);
        VirtualBoard board;
        MapPortToBoard(1, board);
        m_properties.SetValue(ProgramPropertyStore::Field::SynchByte, sync);
        ServoLink link(m_properties);
        link.Open();
        QCOMPARE(ThrownNumber([&] { link.SendServoFrame(servo, position); }), error);
        QVERIFY(board.ReadAvailable(100).isEmpty());
        QVERIFY(link.PortOpen());
    }

    void closedPortWritesNothing()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link(m_properties);
        QVERIFY(!link.PortOpen());
        QCOMPARE(ThrownNumber([&] { link.SendServoFrame(0, 10); }), LinkError::kPortNotOpen);
        link.Open();
        link.Close();
        QCOMPARE(ThrownNumber([&] { link.SendServoFrame(0, 10); }), LinkError::kPortNotOpen);
        QVERIFY(board.ReadAvailable(100).isEmpty());
    }

    void settingsReachTheDevice()
    {
        VirtualBoard board;
        MapPortToBoard(2, board);
        ServoLink link(m_properties);
        link.SetCommPort(QStringLiteral("2"));
        link.SetSettings(QStringLiteral("2400,N,8,1"));
        link.Open();
        QCOMPARE(deviceSpeed(board.DevicePath()), speed_t(B2400));
        // Changed while open: applied at once.
        link.SetSettings(QStringLiteral("9600,N,8,1"));
        QCOMPARE(deviceSpeed(board.DevicePath()), speed_t(B9600));
        QCOMPARE(link.Settings(), QStringLiteral("9600,N,8,1"));
        // The number is not changed under an open port.
        QCOMPARE(ThrownNumber([&] { link.SetCommPort(QStringLiteral("3")); }), LinkError::kPortInUse);
        QCOMPARE(link.CommPort(), QStringLiteral("2"));

        for (const char *bad : {"", "9600", "9600,N,8", "fast,N,8,1", "0,N,8,1", "9600,E,8,1", "9600,N,9,1",
                                "9600,N,8,3", "9600,N,8,1.5"}) {
            QCOMPARE(ThrownNumber([&] { link.SetSettings(QString::fromLatin1(bad)); }), LinkError::kInvalidSettings);
        }
        QCOMPARE(link.Settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(ThrownNumber([&] { link.SetCommPort(QStringLiteral("COM1")); }), ErrorNumber::kTypeMismatch);
    }

    void missingOrUnmappedPortIsInvalid()
    {
        SerialPortMap::SetDevicePath(4, QStringLiteral("/dev/taveloq-no-such-device"));
        ServoLink link(m_properties);
        link.SetCommPort(QStringLiteral("4"));
        QCOMPARE(ThrownNumber([&] { link.Open(); }), LinkError::kInvalidPort);
        link.SetCommPort(QStringLiteral("7"));
        QCOMPARE(ThrownNumber([&] { link.Open(); }), LinkError::kInvalidPort);
        QVERIFY(!link.PortOpen());
    }

    void deviceOpenedTwiceIsInUse()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        const QString alias = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("board-alias"));
        board.MakeLink(alias);
        SerialPortMap::SetDevicePath(2, alias);

        ServoLink first(m_properties);
        first.Open();
        ServoLink second(m_properties);
        QCOMPARE(ThrownNumber([&] { second.Open(); }), LinkError::kPortInUse);
        // The same device under another name is the same device.
        second.SetCommPort(QStringLiteral("2"));
        QCOMPARE(ThrownNumber([&] { second.Open(); }), LinkError::kPortInUse);
        QCOMPARE(ThrownNumber([&] { first.Open(); }), LinkError::kPortInUse);
        QVERIFY(first.PortOpen());
        QVERIFY(!second.PortOpen());

        // Freed by the first, the device opens for the second.
        first.Close();
        second.Open();
        second.SendServoFrame(2, 2);
        QCOMPARE(board.ReadBytes(3, 2000), Bytes({0xFF, 0x02, 0x02}));
    }

    void deviceWithoutPermissionTellsWhatToDo()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        const QByteArray path = QFile::encodeName(board.DevicePath());
        ServoLink link(m_properties);
        int number = 0;
        QString description;
        auto attempt = [&] {
            try {
                link.Open();
            } catch (const AppError &e) {
                number = e.number();
                description = e.description();
            }
        };
        if (::geteuid() == 0) {
            // Root may open anything: try as nobody, who may not open root's
            // terminal but must still read the port mapping.
            QVERIFY(::chmod(path.constData(), 0600) == 0);
            QFileInfo store(cRegistry::StorePath());
            ::chmod(QFile::encodeName(store.filePath()).constData(), 0644);
            // Only the test's own folders, from the store up to the isolated home.
            const QString base = QFileInfo(qEnvironmentVariable("HOME")).absolutePath();
            QVERIFY(store.absoluteFilePath().startsWith(base + QLatin1Char('/')));
            for (QDir dir = store.absoluteDir(); dir.absolutePath().startsWith(base); dir.cdUp())
                ::chmod(QFile::encodeName(dir.absolutePath()).constData(), 0755);
            QVERIFY(::seteuid(65534) == 0);
            attempt();
            QVERIFY(::seteuid(0) == 0);
        } else {
            QVERIFY(::chmod(path.constData(), 0) == 0);
            attempt();
        }
        QCOMPARE(number, LinkError::kOpenFailed);
        QVERIFY2(description.contains(QStringLiteral("dialout")), qPrintable(description));
        QVERIFY(description.contains(board.DevicePath()));
        QVERIFY(!link.PortOpen());
    }

    void vanishedBoardGoesOfflineWithOneMessage()
    {
        auto board = std::make_unique<VirtualBoard>();
        MapPortToBoard(3, *board);
        ServoLink link(m_properties);
        link.SetCommPort(QStringLiteral("3"));
        link.Open();
        QSignalSpy lost(&link, &ServoLink::BoardLost);
        link.SendServoFrame(1, 1);
        QCOMPARE(board->ReadBytes(3, 2000).size(), 3);

        board->Unplug();
        link.SendServoFrame(1, 2); // handled inside: no throw
        QVERIFY(!link.PortOpen());
        QCOMPARE(lost.count(), 1);
        // Whatever QSerialPort still reports later adds nothing.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 1);
        const QList<MessageRequest> shown = TestMessages().take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Taveloq v1.1"));
        QVERIFY(shown[0].text.contains(QStringLiteral("Offline")));
        QVERIFY(shown[0].text.contains(QStringLiteral("Comm Port 3")));
        // A caller that did not check the state gets the closed-port error, not another box.
        QCOMPARE(ThrownNumber([&] { link.SendServoFrame(1, 3); }), LinkError::kPortNotOpen);
        QCOMPARE(TestMessages().count(), 0);
    }

    void fullQueueIsWaitedOutNotTakenForLoss()
    {
        // More than the terminal queues, with a board that starts reading late:
        // writes meet EAGAIN, which must not count as an unplugged board.
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link(m_properties);
        link.Open();
        constexpr int kFrames = 60000;
        QList<ServoFrame> frames;
        QThread *reader = QThread::create([&] {
            QThread::msleep(300);
            frames = board.ReadFrames(kFrames, 20000);
        });
        reader->start();
        for (int i = 0; i < kFrames; ++i)
            link.SendServoFrame(i % 16, i % 256);
        QVERIFY(reader->wait(30000));
        delete reader;
        QVERIFY(link.PortOpen());
        QCOMPARE(frames.size(), kFrames);
        for (int i = 0; i < kFrames; i += 997)
            QCOMPARE(frames[i], (ServoFrame{255, quint8(i % 16), quint8(i % 256)}));
        QCOMPARE(board.Decoder().SkippedBytes(), 0);
    }

    void playbackSinkWritesFromItsThread()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link(m_properties);
        QVERIFY(link.PlaybackSink() == nullptr);
        link.Open();
        link.SendServoFrame(0, 1); // a frame from this thread first, then the run's
        std::unique_ptr<IFrameSink> sink = link.PlaybackSink();
        QVERIFY(sink);
        QThread *player = QThread::create([&sink] {
            for (int i = 0; i < 200; ++i)
                sink->WriteFrame(ServoFrame{255, quint8(i % 16), quint8(i)});
        });
        player->start();
        const QList<ServoFrame> frames = board.ReadFrames(201, 5000);
        QVERIFY(player->wait(5000));
        delete player;
        QCOMPARE(frames.size(), 201);
        QCOMPARE(frames[0], (ServoFrame{255, 0, 1}));
        for (int i = 0; i < 200; ++i)
            QCOMPARE(frames[i + 1], (ServoFrame{255, quint8(i % 16), quint8(i)}));
        QCOMPARE(board.Decoder().SkippedBytes(), 0);

        // Closing the port under a live sink must not hand its descriptor to
        // anyone else: the sink's own still reaches the board.
        link.Close();
        sink->WriteFrame(ServoFrame{255, 4, 4});
        QCOMPARE(board.ReadFrames(1, 2000), (QList<ServoFrame>{ServoFrame{255, 4, 4}}));
        sink.reset();
    }

    void playbackSinkReportsVanishedBoardOnce()
    {
        VirtualBoard board;
        MapPortToBoard(1, board);
        ServoLink link(m_properties);
        link.Open();
        QSignalSpy lost(&link, &ServoLink::BoardLost);
        std::unique_ptr<IFrameSink> sink = link.PlaybackSink();
        board.Unplug();
        QList<int> errors;
        QThread *player = QThread::create([&] {
            for (int i = 0; i < 3; ++i) {
                try {
                    sink->WriteFrame(ServoFrame{255, 0, 0});
                    errors << 0;
                } catch (const AppError &e) {
                    errors << e.number();
                }
            }
        });
        player->start();
        QVERIFY(player->wait(5000));
        delete player;
        QCOMPARE(errors, (QList<int>{LinkError::kBoardLost, LinkError::kBoardLost, LinkError::kBoardLost}));
        // The link learns of it on its own thread.
        QTRY_VERIFY(!link.PortOpen());
        QCOMPARE(lost.count(), 1);
        QCOMPARE(TestMessages().take().size(), 1);
        sink.reset();
    }
};

TQ_TEST_MAIN(TestServoLink)
#include "tst_ServoLink.moc"
