#include "support/TestSupport.h"

#include "LinkTestSupport.h"

#include "link/LivePacer.h"
#include "platform/AppError.h"
#include "platform/cRegistry.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>

#include <sys/stat.h>

class TestServoLink : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void frameGoesOutAsThreeBytesOrNotAtAll_data() { AddTestDataRows(QStringLiteral("link/servo-frames.txt")); }
    void frameGoesOutAsThreeBytesOrNotAtAll()
    {
        QFETCH(QStringList, row);
        const QByteArray expected = QByteArray::fromHex(row[4].toLatin1());
        BoardRig rig;
        rig.properties.SetValue(ProgramPropertyStore::Field::SynchByte, row[1]);
        QCOMPARE(ThrownNumber([&] { rig.link.SendServoFrame(row[2].toInt(), row[3].toInt()); }), row[5].toInt());
        // No event loop turn: the bytes must already be on their way.
        QCOMPARE(rig.board.ReadBytes(3, expected.isEmpty() ? 100 : 2000), expected);
        QVERIFY(rig.link.PortOpen());
    }

    void liveMovesArePaced_data() { AddTestDataRows(QStringLiteral("link/live-pacing.txt")); }
    void liveMovesArePaced()
    {
        QFETCH(QStringList, row);
        LivePacer pacer;
        pacer.SetFrameTimeNs(LivePacer::FrameTimeNs(row[1].toInt(), 8, 1));
        // As the link drives it: a move is offered and due frames taken at once; the rest when due.
        QStringList frames;
        const auto take = [&](qint64 at) {
            while (const std::optional<ServoFrame> f = pacer.TakeDue(at))
                frames << QStringLiteral("%1:%2=%3").arg(double(at) / 1e6).arg(f->servo).arg(f->position);
        };
        const auto takeUntil = [&](qint64 until) {
            for (int turn = 0; turn < 100 && pacer.NextDueNs() && *pacer.NextDueNs() <= until; ++turn)
                take(*pacer.NextDueNs());
        };
        for (const QString &move : row[2].split(u' ')) {
            const QStringList p = move.split(QRegularExpression(QStringLiteral("[:=]")));
            const qint64 at = qRound64(p[0].toDouble() * 1e6);
            takeUntil(at);
            pacer.Offer(ServoFrame{255, quint8(p[1].toInt()), quint8(p[2].toInt())});
            take(at);
        }
        takeUntil(qint64(1) << 62);
        QCOMPARE(frames.join(u' '), row[3]);
    }

    void closedPortWritesNothing()
    {
        BoardRig rig(1, false);
        QCOMPARE(ThrownNumber([&] { rig.link.SendServoFrame(0, 10); }), LinkError::kPortNotOpen);
        rig.link.Open();
        rig.link.Close();
        QCOMPARE(ThrownNumber([&] { rig.link.SendServoFrame(0, 10); }), LinkError::kPortNotOpen);
        QVERIFY(rig.board.ReadAvailable(100).isEmpty());
    }

    void settingsAndPortNumberAreChecked()
    {
        BoardRig rig;
        // Changed while open: applied at once.
        rig.link.SetSettings(QStringLiteral("9600,N,8,1"));
        QCOMPARE(deviceSpeed(rig.board.DevicePath()), speed_t(B9600));
        // The number is not changed under an open port.
        QCOMPARE(ThrownNumber([&] { rig.link.SetCommPort(QStringLiteral("3")); }), LinkError::kPortInUse);
        QCOMPARE(rig.link.CommPort(), QStringLiteral("1"));

        for (const char *bad : {"", "9600", "9600,N,8", "fast,N,8,1", "0,N,8,1", "9600,E,8,1", "9600,N,9,1",
                                "9600,N,8,3", "9600,N,8,1.5"}) {
            QCOMPARE(ThrownNumber([&] { rig.link.SetSettings(QString::fromLatin1(bad)); }),
                     LinkError::kInvalidSettings);
        }
        QCOMPARE(rig.link.Settings(), QStringLiteral("9600,N,8,1"));
        QCOMPARE(ThrownNumber([&] { rig.link.SetCommPort(QStringLiteral("COM1")); }), ErrorNumber::kTypeMismatch);
    }

    // A missing device is checked through the session and the grid.
    void unmappedPortIsInvalid()
    {
        ProgramPropertyStore properties;
        ServoLink link(properties);
        link.SetCommPort(QStringLiteral("7"));
        QCOMPARE(ThrownNumber([&] { link.Open(); }), LinkError::kInvalidPort);
        QVERIFY(!link.PortOpen());
    }

    void deviceOpenedTwiceIsInUse()
    {
        BoardRig rig;
        const QString alias = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("board-alias"));
        rig.board.MakeLink(alias);
        SerialPortMap::SetDevicePath(2, alias);

        ServoLink second(rig.properties);
        QCOMPARE(ThrownNumber([&] { second.Open(); }), LinkError::kPortInUse);
        // The same device under another name is the same device.
        second.SetCommPort(QStringLiteral("2"));
        QCOMPARE(ThrownNumber([&] { second.Open(); }), LinkError::kPortInUse);
        QCOMPARE(ThrownNumber([&] { rig.link.Open(); }), LinkError::kPortInUse);
        QVERIFY(rig.link.PortOpen());
        QVERIFY(!second.PortOpen());

        // Freed by the first, the device opens for the second.
        rig.link.Close();
        second.Open();
        second.SendServoFrame(2, 2);
        QCOMPARE(rig.board.ReadBytes(3, 2000), Bytes({0xFF, 0x02, 0x02}));
    }

    void deviceWithoutPermissionTellsWhatToDo()
    {
        BoardRig rig(1, false);
        const QByteArray path = QFile::encodeName(rig.board.DevicePath());
        int number = 0;
        QString description;
        auto attempt = [&] {
            try {
                rig.link.Open();
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
        QVERIFY(description.contains(rig.board.DevicePath()));
        QVERIFY(!rig.link.PortOpen());
    }

    void vanishedBoardGoesOfflineWithOneMessage()
    {
        BoardRig rig(3);
        QSignalSpy lost(&rig.link, &ServoLink::BoardLost);
        rig.board.Unplug();
        rig.link.SendServoFrame(1, 2); // handled inside: no throw
        QVERIFY(!rig.link.PortOpen());
        QCOMPARE(rig.session.CommPortStatus(), QStringLiteral("Offline"));
        // Whatever QSerialPort still reports later adds nothing.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(lost.count(), 1);
        const QStringList shown = TestMessages().takeTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].contains(QStringLiteral("Offline")) && shown[0].contains(QStringLiteral("Comm Port 3")));
        // A caller that did not check the state gets the closed-port error, not another box;
        // applying the properties again does not reopen.
        QCOMPARE(ThrownNumber([&] { rig.link.SendServoFrame(1, 3); }), LinkError::kPortNotOpen);
        rig.session.UpdatePropertiesFromGrid();
        QVERIFY(!rig.link.PortOpen());
    }

    void fullQueueIsWaitedOutNotTakenForLoss()
    {
        // More than the terminal queues, with a board that starts reading late:
        // writes meet EAGAIN, which must not count as an unplugged board.
        BoardRig rig;
        constexpr int kFrames = 60000;
        QList<ServoFrame> frames;
        std::unique_ptr<QThread> reader(QThread::create([&] {
            QThread::msleep(300);
            frames = rig.board.ReadFrames(kFrames, 20000);
        }));
        reader->start();
        for (int i = 0; i < kFrames; ++i)
            rig.link.SendServoFrame(i % 16, i % 256);
        QVERIFY(reader->wait(30000));
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(frames.size(), kFrames);
        for (int i = 0; i < kFrames; i += 997)
            QCOMPARE(frames[i], (ServoFrame{255, quint8(i % 16), quint8(i % 256)}));
        QCOMPARE(rig.board.Decoder().SkippedBytes(), 0);
    }

    void playbackSinkWritesFromItsThread()
    {
        BoardRig rig(1, false);
        QVERIFY(rig.link.PlaybackSink() == nullptr);
        rig.link.Open();
        rig.link.SendServoFrame(0, 1); // a frame from this thread first, then the run's
        std::unique_ptr<IFrameSink> sink = rig.link.PlaybackSink();
        QVERIFY(sink);
        QVERIFY(!rig.link.MoveLive(5, 5)); // a run owns the servos
        std::unique_ptr<QThread> player(QThread::create([&sink] {
            for (int i = 0; i < 200; ++i)
                sink->WriteFrame(ServoFrame{255, quint8(i % 16), quint8(i)});
        }));
        player->start();
        const QList<ServoFrame> frames = rig.board.ReadFrames(201, 5000);
        QVERIFY(player->wait(5000));
        QCOMPARE(frames.size(), 201);
        QCOMPARE(frames[0], (ServoFrame{255, 0, 1}));
        for (int i = 0; i < 200; ++i)
            QCOMPARE(frames[i + 1], (ServoFrame{255, quint8(i % 16), quint8(i)}));
        QCOMPARE(rig.board.Decoder().SkippedBytes(), 0);
        rig.link.LetLiveMovesThrough(true); // a take performed over the run
        QVERIFY(rig.link.MoveLive(5, 6));
        QList<ServoFrame> live; // paced: it may wait for the line
        QTRY_VERIFY(!(live += rig.board.ReadFrames(1, 10)).isEmpty());
        QCOMPARE(live, (QList<ServoFrame>{ServoFrame{255, 5, 6}}));

        // Closing the port under a live sink must not hand its descriptor to
        // anyone else: the sink's own still reaches the board.
        rig.link.Close();
        sink->WriteFrame(ServoFrame{255, 4, 4});
        QCOMPARE(rig.board.ReadFrames(1, 2000), (QList<ServoFrame>{ServoFrame{255, 4, 4}}));
    }
};

TQ_TEST_MAIN(TestServoLink)
#include "tst_ServoLink.moc"
