#include "support/TestSupport.h"

#include "link/LinkTestSupport.h"

#include "app/ServoModel.h"
#include "surface/OscSurface.h"

#include <QElapsedTimer>
#include <QThread>

#include <lo/lo.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// A UDP socket on 127.0.0.1; port 0 takes a free one.
struct UdpSocket
{
    explicit UdpSocket(int wanted = 0)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(quint16(wanted));
        socklen_t size = sizeof a;
        ::bind(fd, reinterpret_cast<sockaddr *>(&a), size);
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size);
        port = ntohs(a.sin_port);
    }
    ~UdpSocket() { ::close(fd); }
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    int port = 0;
};

// A board, the servos (5 disabled, range 10..200) and the surface listening on a free port.
struct SurfaceRig
{
    SurfaceRig()
    {
        rig.properties.SetValue(ProgramPropertyStore::Field::ServoMin, QStringLiteral("10"));
        rig.properties.SetValue(ProgramPropertyStore::Field::ServoMax, QStringLiteral("200"));
        servos.SetEnabled(5, false);
        port = UdpSocket().port;
        listening = surface.Apply({.enabled = true, .port = port});
        to = lo_address_new("127.0.0.1", QByteArray::number(port).constData());
    }
    ~SurfaceRig() { lo_address_free(to); }
    // Arguments as "f:0.5 i:3 s:x".
    void send(const char *address, const QString &arguments)
    {
        lo_message m = lo_message_new();
        for (const QString &a : arguments.split(u' ', Qt::SkipEmptyParts)) {
            const QByteArray v = a.mid(2).toLatin1();
            a[0] == u'f'   ? lo_message_add_float(m, v.toFloat())
            : a[0] == u'i' ? lo_message_add_int32(m, v.toInt())
                           : lo_message_add_string(m, v);
        }
        lo_send_message(to, address, m);
        lo_message_free(m);
    }
    QList<ServoFrame> frames(int count) { return rig.board.Decode(ReadBytesServing(rig.board, 3 * count, 2000)); }

    BoardRig rig;
    ServoModel servos;
    OscSurface surface{rig.link, servos, rig.properties};
    int port = 0;
    bool listening = false;
    lo_address to = nullptr;
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
        QVERIFY(s.listening);
        QElapsedTimer sent;
        sent.start();
        s.send(row[1].toLatin1().constData(), row[2]);
        if (row[3] == u'-')
            s.send("/servo/14", QStringLiteral("i:77")); // a later message to another servo
        const QList<ServoFrame> frames = s.frames(1);
        QCOMPARE(frames.size(), 1);
        const int servo = row[1].section(u'/', 2).toInt();
        if (row[3] == u'-') {
            QCOMPARE(frames[0], (ServoFrame{255, 14, 77}));
            QCOMPARE(s.servos.Positions(),
                     (std::array<qint16, kServoCount>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 77}));
        } else {
            QVERIFY2(sent.elapsed() <= 30, qPrintable(QString::number(sent.elapsed())));
            QCOMPARE(frames[0], (ServoFrame{255, quint8(servo), quint8(row[3].toInt())}));
            QCOMPARE(s.servos.Position(servo), qint16(row[3].toInt())); // the slider shows it
        }
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
        QElapsedTimer t;
        t.start();
        sender->start();
        QVERIFY(sender->wait(10'000)); // the UI thread busy meanwhile: the wake-ups must not pile up
        QList<ServoFrame> frames;
        while ((frames.isEmpty() || frames.last().position != 123) && t.elapsed() < 10'000)
            frames += s.rig.board.Decode(ReadBytesServing(s.rig.board, 3, 10));
        QVERIFY2(wakeUps.calls < 100, qPrintable(QString::number(wakeUps.calls)));
        QVERIFY2(frames.size() <= t.elapsed() / 20 + 2, "one frame per 20 ms");
        for (const ServoFrame &f : frames)
            QVERIFY(f.servo == 2 && (f.position == 10 || f.position == 200 || f.position == 123));
        QCOMPARE(frames.last().position, quint8(123));
        QCOMPARE(s.servos.Position(2), qint16(123));
        QCOMPARE(s.rig.board.ReadAvailable(50), QByteArray());
    }

    void portInUseIsReportedAndStaysOff()
    {
        const UdpSocket taken;
        ProgramPropertyStore properties;
        ServoLink link(properties);
        ServoModel servos;
        OscSurface surface(link, servos, properties);
        QVERIFY(!surface.Apply({.enabled = true, .port = taken.port}));
        QVERIFY(!surface.Listening());
        const QStringList shown = TestMessages().takeTexts();
        QVERIFY(shown.size() == 1 && shown[0].contains(QString::number(taken.port)));
    }
};

TQ_TEST_MAIN(TestOscSurface)
#include "tst_OscSurface.moc"
