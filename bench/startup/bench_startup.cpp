// Start-up time and memory: from launch to the main window shown, the two
// 2000 ms splash waits excluded (they run on a virtual clock), and the
// resident memory once the main window stands. Runs offscreen unless a
// platform is chosen, with a fresh home folder and the board on Comm Port 1.

#include "app/StartUp.h"
#include "link/SerialPortMap.h"
#include "link/vboard/VirtualBoard.h"
#include "mainwindow/MDIForm1.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

double msSince(qint64 startNs)
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec - startNs) / 1e6;
}

// The process's start on CLOCK_MONOTONIC's time base (boot time), from /proc.
qint64 processStartNs()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    // Field 22 of the file, 20th after the command name: start time in clock ticks since boot.
    const qint64 ticks = fields.value(19).toLongLong();
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    timespec mono{};
    clock_gettime(CLOCK_MONOTONIC, &mono);
    const qint64 bootToMono = (qint64(boot.tv_sec) - mono.tv_sec) * 1'000'000'000 + (boot.tv_nsec - mono.tv_nsec);
    return ticks * (1'000'000'000 / sysconf(_SC_CLK_TCK)) - bootToMono;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    const qint64 launch = processStartNs();
    QTemporaryDir home;
    for (const char *var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(var, home.path().toLocal8Bit() + '/' + var);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    VirtualClock clock;
    Services::setClock(&clock);
    VirtualBoard board;
    SerialPortMap::SetDevicePath(1, board.DevicePath());

    // The first start-up is the one a user sees: launch to window shown.
    const double launchToMain = launch ? msSince(launch) : 0;
    QElapsedTimer timer;
    timer.start();
    auto first = std::make_unique<ApplicationMain>();
    if (!RunStartUp(*first) || !first->mainWindow() || !first->mainWindow()->isVisible()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    const double firstMs = double(timer.nsecsElapsed()) / 1e6;
    const double totalMs = launch ? msSince(launch) : firstMs;
    const long rss = residentKiB();
    first.reset();

    // Later start-ups in the same process: the window code alone, caches warm.
    QList<double> again;
    for (int i = 0; i < 10; ++i) {
        timer.restart();
        ApplicationMain host;
        RunStartUp(host);
        again << double(timer.nsecsElapsed()) / 1e6;
    }
    std::sort(again.begin(), again.end());

    std::printf("platform: %s\n", qPrintable(QApplication::platformName()));
    std::printf("launch to main():                     %8.1f ms\n", launchToMain);
    std::printf("start-up routine, first (waits excl.): %8.1f ms\n", firstMs);
    std::printf("launch to main window shown:           %8.1f ms\n", totalMs);
    std::printf("start-up routine, median of 10 more:   %8.1f ms\n", again.at(again.size() / 2));
    std::printf("resident memory after start-up:        %8ld KiB\n", rss);
    std::printf("virtual waits: %d (the two splash waits)\n", int(clock.waitsMs().size()) / 11);
    return 0;
}
