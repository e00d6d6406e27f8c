#include "support/TestSupport.h"

#include "link/LinkTestSupport.h"

#include "app/ServoModel.h"
#include "surface/OscSurface.h"

#include <QElapsedTimer>
#include <QThread>

#include <lo/lo.h>

namespace {

// A board, the servos (5 disabled, range 10..200) and the surface listening on a free port.
struct SurfaceRig
{
    SurfaceRig()
    {
        rig.properties.SetValue(ProgramPropertyStore::Field::ServoMin, QStringLiteral("10"));
        rig.properties.SetValue(ProgramPropertyStore::Field::ServoMax, QStringLiteral("200"));
        servos.SetEnabled(5, false);
        surface.Apply({.enabled = true, .port = port});
    }
    ~SurfaceRig() { lo_address_free(to); }
    void send(const char *address, const QString &arguments) // "f:0.5 i:3 d:0.5"
    {
        lo_message m = lo_message_new();
        for (const QString &a : arguments.split(u' ', Qt::SkipEmptyParts)) {
            const QByteArray v = a.mid(2).toLatin1();
            a[0] == u'f'   ? lo_message_add_float(m, v.toFloat())
            : a[0] == u'i' ? lo_message_add_int32(m, v.toInt())
                           : lo_message_add_double(m, v.toDouble());
        }
        lo_send_message(to, address, m);
        lo_message_free(m);
    }

    BoardRig rig;
    ServoModel servos;
    OscSurface surface{rig.link, servos, rig.properties};
    int port = FreeUdpPort();
    lo_address to = lo_address_new("127.0.0.1", QByteArray::number(port).constData());
};

} // namespace

class TestOscSurface : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void messageMovesServo_data() { AddTestDataRows(QStringLiteral("surface/osc-messages.txt")); }
    void messageMovesServo()
    {
        QFETCH(QStringList, row);
        SurfaceRig s;
        QElapsedTimer sent;
        sent.start();
        s.send(row[1].toLatin1().constData(), row[2]);
        const bool moves = row[3] != u'-';
        if (!moves)
            s.send("/servo/14", QStringLiteral("i:77")); // a later message to another servo
        const int servo = moves ? row[1].section(u'/', 2).toInt() : 14;
        const int position = moves ? row[3].toInt() : 77;
        const QList<ServoFrame> frames = s.rig.board.Decode(ReadBytesServing(s.rig.board, 3, 2000));
        QVERIFY2(!moves || sent.elapsed() <= 30, qPrintable(QString::number(sent.elapsed())));
        QCOMPARE(frames, (QList<ServoFrame>{{255, quint8(servo), quint8(position)}}));
        QCOMPARE(s.servos.Position(servo), qint16(position)); // the sliders show the model
    }

    void floodIsMergedAndEndsWithTheNewestValue()
    {
        SurfaceRig s;
        struct : QObject
        {
            int calls = 0;
            bool eventFilter(QObject *, QEvent *e) override { return calls += e->type() == QEvent::MetaCall, false; }
        } wakeUps;
        s.surface.installEventFilter(&wakeUps);
        std::unique_ptr<QThread> sender(QThread::create([&s] {
            QElapsedTimer t;
            t.start();
            for (int i = 0; i < 20'000; ++i) {
                while (t.nsecsElapsed() < i * 10'000) { // 100,000 a second
                }
                s.send("/servo/2", QStringLiteral("i:%1").arg(i % 2 ? -5 : 1000));
            }
            QThread::msleep(20); // the last one must not be lost to a full socket
            s.send("/servo/2", QStringLiteral("i:123"));
        }));
        sender->start();
        QVERIFY(sender->wait(10'000)); // the UI thread busy meanwhile: the wake-ups must not pile up
        QList<ServoFrame> frames;
        for (int i = 0; i < 500 && (frames.isEmpty() || frames.last().position != 123); ++i)
            frames += s.rig.board.Decode(ReadBytesServing(s.rig.board, 3, 10));
        QVERIFY2(wakeUps.calls < 100, qPrintable(QString::number(wakeUps.calls)));
        for (const ServoFrame &f : frames)
            QVERIFY(f.servo == 2 && (f.position == 10 || f.position == 200 || f.position == 123));
        QCOMPARE(s.servos.Positions(), (std::array<qint16, kServoCount>{0, 0, 123}));
    }

    // Off unless turned on; then on this computer only unless all networks were chosen.
    void settingsChooseWhereItListens()
    {
        SurfaceRig s;
        for (const QString &address : {SurfaceSettings::kAllNetworks, SurfaceSettings::kThisComputer}) {
            const SurfaceSettings chosen{.enabled = true, .port = FreeUdpPort(), .address = address};
            chosen.Store();
            QCOMPARE(SurfaceSettings::Load(), chosen);
            QVERIFY(s.surface.Apply(chosen));
            QFile udp(QStringLiteral("/proc/net/udp"));
            const QString bound = address == SurfaceSettings::kThisComputer ? "0100007F:%1" : "00000000:%1";
            QVERIFY(udp.open(QIODevice::ReadOnly) &&
                    udp.readAll().contains(bound.arg(chosen.port, 4, 16, QChar(u'0')).toUpper().toLatin1()));
        }
        // A port in use (by the surface above) is told, and the second surface stays off.
        OscSurface second(s.rig.link, s.servos, s.rig.properties);
        QVERIFY(!second.Apply(SurfaceSettings::Load()) && !second.Listening());
        const QStringList shown = TestMessages().takeTexts();
        QVERIFY(shown.size() == 1 && shown[0].contains(QString::number(SurfaceSettings::Load().port)));
    }
};

TQ_TEST_MAIN(TestOscSurface)
#include "tst_OscSurface.moc"
