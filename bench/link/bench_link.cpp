// How fast a frame reaches the board, and how many frames the link carries,
// with a pseudo-terminal as the board (which ignores the baud rate: a real
// line at 9600 8N1 carries 960 bytes/s, 320 frames/s).

#include "app/ProgramPropertyStore.h"
#include "link/IServoSliders.h"
#include "link/SerialPortMap.h"
#include "link/ServoLink.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/AppError.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double micros(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

void printLatency(const char *what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) { return samples[size_t(q * double(samples.size() - 1))]; };
    std::printf("%-44s median %7.1f us   p99 %7.1f us   max %8.1f us   (%zu frames)\n", what, at(0.5), at(0.99),
                samples.back(), samples.size());
}

template <typename Send> std::vector<double> latency(VirtualBoard &board, int count, Send send)
{
    std::vector<double> samples;
    samples.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        send(i % 16, i % 256);
        const QByteArray got = board.ReadBytes(3, 1000);
        const auto end = Clock::now();
        if (got.size() != 3) {
            std::fprintf(stderr, "frame %d lost\n", i);
            std::exit(1);
        }
        samples.push_back(micros(end - start));
    }
    return samples;
}

// Frames sent for `seconds` while another thread drains the board.
template <typename Send> void throughput(const char *what, VirtualBoard &board, double seconds, Send send)
{
    std::atomic<bool> done{false};
    std::atomic<qint64> received{0};
    QThread *reader = QThread::create([&] {
        while (!done.load())
            received += board.ReadAvailable(20).size();
        received += board.ReadBytes(1 << 30, 200).size();
    });
    reader->start();
    qint64 sent = 0;
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    while (Clock::now() < until) {
        for (int i = 0; i < 64; ++i, ++sent)
            send(int(sent % 16), int(sent % 256));
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    done = true;
    reader->wait();
    delete reader;
    std::printf("%-44s %9.0f frames/s   (%lld sent, %lld bytes at the board)\n", what, double(sent) / elapsed,
                static_cast<long long>(sent), static_cast<long long>(received.load()));
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(100, atoi(argv[1])) : 20000;

    try {
        VirtualBoard board;
        SerialPortMap::SetDevicePath(1, board.DevicePath());
        ProgramPropertyStore properties;
        ServoLink link(properties);
        link.SetCommPort(QStringLiteral("1"));
        link.SetSettings(QStringLiteral("9600,N,8,1"));
        link.Open();

        std::printf("Servo link on a pseudo-terminal (%s), 9600,N,8,1\n", qPrintable(board.DevicePath()));
        // Warm up caches and the terminal's buffers before anything is timed.
        latency(board, 2000, [&](int servo, int position) { link.SendServoFrame(servo, position); });
        printLatency("SendServoFrame -> board (UI thread)",
                     latency(board, count, [&](int servo, int position) { link.SendServoFrame(servo, position); }));
        {
            std::unique_ptr<IFrameSink> sink = link.PlaybackSink();
            printLatency("PlaybackSink::WriteFrame -> board", latency(board, count, [&](int servo, int position) {
                             sink->WriteFrame(ServoFrame{255, quint8(servo), quint8(position)});
                         }));
        }

        throughput("SendServoFrame sustained (UI thread)", board, 2.0,
                   [&](int servo, int position) { link.SendServoFrame(servo, position); });
        {
            std::unique_ptr<IFrameSink> sink = link.PlaybackSink();
            throughput("PlaybackSink sustained (playback thread)", board, 2.0, [&](int servo, int position) {
                sink->WriteFrame(ServoFrame{255, quint8(servo), quint8(position)});
            });
        }
        std::printf("A real line at 9600,N,8,1 carries 320 frames/s; at 2400, 80.\n");
    } catch (const AppError &e) {
        std::fprintf(stderr, "bench_link: %s\n", qPrintable(e.description()));
        return 1;
    }
    return 0;
}
