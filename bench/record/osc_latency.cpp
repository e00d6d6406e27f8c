// How long an OSC message takes to become a frame at the board: from the
// message leaving the sender to the frame's last byte read at a
// pseudo-terminal board, at 9600 baud as the link paces it (a frame is
// 3.125 ms of line). Each frame is matched with the newest message of its
// servo and value sent before it arrived: the value it carries.
//
// Each run is also recorded as a take (tolerance 0, every frame a move), and
// the take's times are compared with when the frames were written and when
// they reached the board: the recorder's own timing error.
//
//   bench_osc_latency [messages]   (10,000 by default; a fifth of them at 50/s)

#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "link/SerialPortMap.h"
#include "link/ServoLink.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"
#include "servos/TakeRecorder.h"
#include "surface/OscSurface.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <lo/lo.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Sent
{
    Clock::time_point at;
    int servo;
    int value;
};
struct Arrived
{
    Clock::time_point at;
    int servo;
    int value;
};

// `faders` servos, each moved `rateHz` times a second, until `count` messages are sent.
void run(const char *what, int count, int faders, double rateHz)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    VirtualBoard board;
    SerialPortMap::SetDevicePath(1, board.DevicePath());
    ProgramPropertyStore properties;
    ServoLink link(properties);
    link.SetCommPort(QStringLiteral("1"));
    link.SetSettings(QStringLiteral("9600,N,8,1"));
    link.Open();
    ServoModel servos;
    OscSurface surface(link, servos, properties);
    ProgramListing listing(home.filePath(QStringLiteral("take.tmp")));
    ExecutionController execution(listing, properties, servos);
    TakeRecorder recorder(listing, properties, servos, execution);
    recorder.SetTolerance(0);
    QObject::connect(&link, &ServoLink::frameSent, &recorder,
                     [&recorder](int servo, int position, qint64 atNs) { recorder.Capture(servo, position, atNs); });
    const int port = 47000 + int(::getpid() % 1000);
    if (!surface.Apply({.enabled = true, .port = port})) {
        std::fprintf(stderr, "cannot listen on port %d\n", port);
        std::exit(1);
    }

    std::vector<Sent> sent;
    sent.reserve(size_t(count));
    std::vector<Arrived> arrived, written;
    std::atomic<bool> sending{true};
    // When the link wrote each frame (the same monotonic clock), leaving out the pseudo-terminal's hop.
    QObject::connect(&link, &ServoLink::frameSent, [&written](int servo, int position, qint64 ns) {
        written.push_back({Clock::time_point(std::chrono::nanoseconds(ns)), servo, position});
    });

    std::unique_ptr<QThread> reader(QThread::create([&] {
        QByteArray pending;
        while (sending.load() || !pending.isEmpty()) {
            pollfd p{board.BoardFd(), POLLIN, 0};
            if (::poll(&p, 1, 200) <= 0) {
                if (!sending.load())
                    break;
                continue;
            }
            char buffer[256];
            const ssize_t n = ::read(board.BoardFd(), buffer, sizeof buffer);
            const auto now = Clock::now();
            pending.append(buffer, int(std::max<ssize_t>(n, 0)));
            while (pending.size() >= 3) {
                if (quint8(pending[0]) != 255) {
                    pending.remove(0, 1);
                    continue;
                }
                arrived.push_back({now, quint8(pending[1]), quint8(pending[2])});
                pending.remove(0, 3);
            }
        }
    }));
    std::unique_ptr<QThread> sender(QThread::create([&] {
        lo_address to = lo_address_new("127.0.0.1", QByteArray::number(port).constData());
        const auto start = Clock::now();
        const auto step = std::chrono::duration<double>(1.0 / (rateHz * faders));
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_until(start + std::chrono::duration_cast<Clock::duration>(step * i));
            const int servo = i % faders;
            // A fader sweeping 10..209: each message differs from its servo's last.
            const int value = 10 + (i / faders) % 200;
            const QByteArray path = "/servo/" + QByteArray::number(servo);
            sent.push_back({Clock::now(), servo, value});
            lo_send(to, path.constData(), "i", value);
        }
        lo_address_free(to);
    }));
    QObject::connect(sender.get(), &QThread::finished, [] { QTimer::singleShot(300, qApp, &QCoreApplication::quit); });
    reader->start();
    recorder.Start();
    const qint64 takeStartNs = Services::clock().nowNs();
    sender->start();
    QCoreApplication::exec();
    sending = false;
    reader->wait();
    recorder.Stop();

    const auto percentiles = [&sent](const std::vector<Arrived> &frames) {
        std::vector<double> ms;
        for (const Arrived &a : frames) {
            for (auto s = sent.rbegin(); s != sent.rend(); ++s) {
                if (s->at <= a.at && s->servo == a.servo && s->value == a.value) {
                    ms.push_back(std::chrono::duration<double, std::milli>(a.at - s->at).count());
                    break;
                }
            }
        }
        std::sort(ms.begin(), ms.end());
        const auto at = [&](double q) { return ms[size_t(q * double(ms.size() - 1))]; };
        return QString::asprintf("median %6.2f  p99 %6.2f  max %6.2f ms", at(0.5), at(0.99), ms.back());
    };
    std::printf("%-32s %6d messages %5zu frames\n  at the board: %s\n  written:      %s\n", what, count, arrived.size(),
                qPrintable(percentiles(arrived)), qPrintable(percentiles(written)));

    // The take's moves are the frames in the order written; each against the frame's own times.
    const QList<TakeMove> moves = recorder.LastTake() ? recorder.LastTake()->Moves() : QList<TakeMove>();
    const auto takeError = [&](const std::vector<Arrived> &frames) {
        std::vector<double> ms;
        for (size_t i = 0; i < std::min(frames.size(), size_t(moves.size())); ++i) {
            const double at = double(frames[i].at.time_since_epoch().count() - takeStartNs) / 1e6;
            ms.push_back(std::abs(double(moves[qsizetype(i)].timeMs) - at));
        }
        std::sort(ms.begin(), ms.end());
        const auto q = [&](double f) { return ms.empty() ? 0.0 : ms[size_t(f * double(ms.size() - 1))]; };
        return QString::asprintf("median %6.2f  p99 %6.2f  max %6.2f ms", q(0.5), q(0.99), q(1));
    };
    std::printf("  take (%lld moves) against\n    the board:  %s\n    written:    %s\n", qlonglong(moves.size()),
                qPrintable(takeError(arrived)), qPrintable(takeError(written)));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10'000;
    run("one fader, 500 messages/s", count, 1, 500);
    // Every message its own frame: the path itself, without merging.
    run("one fader, 50 messages/s", count / 5, 1, 50);
    run("16 faders, 50 messages/s each", count, 16, 50);
    return 0;
}
