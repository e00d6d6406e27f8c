// Playback precision: 500 moves 20 ms apart to a pseudo-terminal board. Each
// frame's arrival at the board is compared with the ideal schedule (the first
// k x 20 ms from a phase fitted as the median offset): median, p99 and max of
// the error, the drift of the last frame and the first frame's own error.
// Runs: the headless player and, right after it, the same moves written with
// a relative sleep after each frame (the timing without compensation), both
// on a quiet machine and with every core kept busy by spinning threads; the
// Execution Controller window open; the same with the UI thread busy 30 ms in
// every 100 ms. The window runs also give the time each write(2) returned
// ("sent"), which leaves out the pseudo-terminal's delivery (a kernel worker)
// to the board side. `--soak SECONDS` instead loops the player that long and
// gives its frame gaps and resident memory.

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "link/IRunLink.h"
#include "link/PortFrameSink.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kMoves = 500;
constexpr qint64 kDelayNs = 20'000'000;

qint64 nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

/// Reads the board side on a thread of its own and stamps each whole frame.
class BoardClock
{
public:
    explicit BoardClock(int fd)
        : m_fd(fd)
    {
        m_thread = std::thread([this] { run(); });
        // The reader must be waiting in poll() before the first frame, or that
        // frame's stamp measures the reader's start, not the frame.
        while (!m_ready.load())
            QThread::msleep(1);
        QThread::msleep(20);
    }
    ~BoardClock()
    {
        m_quit = true;
        m_thread.join();
    }
    std::vector<qint64> arrivals() const { return m_arrivals; }
    bool waitFor(size_t count, int timeoutMs) const
    {
        QElapsedTimer t;
        t.start();
        while (m_count.load() < count && t.elapsed() < timeoutMs)
            QThread::msleep(5);
        return m_count.load() >= count;
    }

private:
    void run()
    {
        sched_param param{};
        param.sched_priority = 20;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
        int pending = 0;
        m_ready = true;
        while (!m_quit) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0)
                continue;
            const qint64 at = nowNs();
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n <= 0)
                continue;
            pending += int(n);
            while (pending >= 3) {
                pending -= 3;
                m_arrivals.push_back(at);
                ++m_count;
            }
        }
    }

    int m_fd;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_ready{false};
    std::atomic<size_t> m_count{0};
    std::vector<qint64> m_arrivals;
    std::thread m_thread;
};

/// Prints the run's figures and returns how much longer than scheduled the
/// moves took, first frame to last, in ms (NaN when frames are missing).
double report(const QString &name, const std::vector<qint64> &arrivals)
{
    QTextStream out(stdout);
    if (arrivals.size() < size_t(kMoves)) {
        out << name << ": only " << arrivals.size() << " frames arrived\n";
        return std::nan("");
    }
    // The board cannot know when the run started: the ideal schedule's phase
    // is the median offset of all frames from k x 20 ms, so one late frame
    // (the first one included) shows as that frame's error, not as everyone's.
    std::vector<qint64> offsets;
    for (int k = 0; k < kMoves; ++k)
        offsets.push_back(arrivals[k] - k * kDelayNs);
    std::nth_element(offsets.begin(), offsets.begin() + kMoves / 2, offsets.end());
    const qint64 phase = offsets[kMoves / 2];
    std::vector<double> errors;
    for (int k = 0; k < kMoves; ++k)
        errors.push_back(std::abs(double(arrivals[k] - (phase + k * kDelayNs))) / 1e6);
    // Drift: where the last frame arrived against where the schedule puts it.
    const double drift = double(arrivals[kMoves - 1] - (phase + (kMoves - 1) * kDelayNs)) / 1e6;
    const double first = double(arrivals[0] - phase) / 1e6;
    std::vector<double> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    const auto pct = [&](double p) { return sorted[std::min(sorted.size() - 1, size_t(p * (sorted.size() - 1)))]; };
    out << QStringLiteral("%1  median %2 ms  p99 %3 ms  max %4 ms  drift %5 ms  first frame %6 ms\n")
               .arg(name, -41)
               .arg(pct(0.5), 0, 'f', 3)
               .arg(pct(0.99), 0, 'f', 3)
               .arg(sorted.back(), 0, 'f', 3)
               .arg(drift, 0, 'f', 3)
               .arg(first, 0, 'f', 3);
    out.flush();
    return double(arrivals[kMoves - 1] - arrivals[0] - (kMoves - 1) * kDelayNs) / 1e6;
}

QStringList program()
{
    QStringList lines;
    for (int k = 0; k < kMoves; ++k)
        lines << QStringLiteral("mov %1,%2").arg(k % 16).arg(k % 2 ? 200 : 50);
    return lines;
}

/// Stamps each frame when its write(2) has returned: the program's own timing,
/// without the pseudo-terminal's delivery to the board side.
class StampingSink final : public IFrameSink
{
public:
    StampingSink(std::unique_ptr<IFrameSink> inner, std::vector<qint64> &stamps)
        : m_inner(std::move(inner))
        , m_stamps(stamps)
    {
    }
    void WriteFrame(const ServoFrame &frame) override
    {
        m_inner->WriteFrame(frame);
        m_stamps.push_back(nowNs());
    }

private:
    std::unique_ptr<IFrameSink> m_inner;
    std::vector<qint64> &m_stamps;
};

class BoardHost final : public IRunLink
{
public:
    std::vector<qint64> sent;
    explicit BoardHost(int fd)
        : m_fd(fd)
    {
        sent.reserve(kMoves);
    }
    bool PortOpen() const override { return true; }
    void GoOnline() override {}
    QString CenterOnExecution() const override { return QStringLiteral("False"); }
    std::unique_ptr<IFrameSink> CreateRunFrameSink() override
    {
        return std::make_unique<StampingSink>(
            std::make_unique<PortFrameSink>(::fcntl(m_fd, F_DUPFD_CLOEXEC, 0), [](const QString &) {}), sent);
    }

private:
    int m_fd;
};

/// Whether any thread of the process runs under SCHED_FIFO (field 41 of its stat).
bool runsRealTime(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(tid + QStringLiteral("/stat")));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 38 && fields[38].toInt() == SCHED_FIFO)
            return true;
    }
    return false;
}

/// Every core busy with plain arithmetic at normal priority while alive.
class CompetingLoad
{
public:
    explicit CompetingLoad(unsigned threads)
    {
        for (unsigned i = 0; i < threads; ++i)
            m_threads.emplace_back([this] {
                volatile unsigned long spin = 0;
                while (!m_quit.load(std::memory_order_relaxed))
                    spin = spin + 1;
            });
    }
    ~CompetingLoad()
    {
        m_quit = true;
        for (std::thread &t : m_threads)
            t.join();
    }

private:
    std::atomic<bool> m_quit{false};
    std::vector<std::thread> m_threads;
};

double benchPlayer(const QString &folder, const QString &name)
{
    VirtualBoard board;
    const QString path = folder + QStringLiteral("/bench.tqp");
    WriteWholeFile(path, QStringLiteral(";InterInstructionDelay=20\r\n;BaudRate=9600\r\n") +
                             program().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    BoardClock clock(board.BoardFd());
    QProcess player;
    player.start(QStringLiteral(TAVELOQ_PLAY),
                 {QStringLiteral("--no-center"), QStringLiteral("--device"), board.DevicePath(), path});
    clock.waitFor(10, 5000);
    const bool realTime = runsRealTime(player.processId());
    player.waitForFinished(60000);
    clock.waitFor(kMoves, 2000);
    return report(name + (realTime ? QStringLiteral(", SCHED_FIFO") : QStringLiteral(", normal policy")),
                  clock.arrivals());
}

/// The same moves with the old timing: a frame, then a relative sleep of the
/// delay, nothing compensated, on an ordinary thread.
double benchLiteral(const QString &name)
{
    VirtualBoard board;
    BoardClock clock(board.BoardFd());
    const int fd = ::open(QFile::encodeName(board.DevicePath()).constData(), O_WRONLY | O_NOCTTY);
    std::thread literal([fd] {
        for (int k = 0; k < kMoves; ++k) {
            const char frame[3] = {char(255), char(k % 16), char(k % 2 ? 200 : 50)};
            [[maybe_unused]] const ssize_t n = ::write(fd, frame, 3);
            const timespec delay{0, kDelayNs};
            nanosleep(&delay, nullptr);
        }
    });
    literal.join();
    ::close(fd);
    clock.waitFor(kMoves, 2000);
    return report(name, clock.arrivals());
}

/// The player and the old timing on the same machine at the same time, with
/// and without every core kept busy.
void benchDrifts(const QString &folder)
{
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    for (const unsigned load : {0u, cores}) {
        const std::unique_ptr<CompetingLoad> busy = load ? std::make_unique<CompetingLoad>(load) : nullptr;
        const QString when = load ? QStringLiteral(", %1 busy threads").arg(load) : QString();
        const double player = benchPlayer(folder, QStringLiteral("taveloq-play") + when);
        const double literal = benchLiteral(QStringLiteral("relative sleeps") + when);
        QTextStream(stdout)
            << QStringLiteral(
                   "  first to last frame, longer than scheduled by: player %1 ms, relative sleeps %2 ms, ratio %3\n")
                   .arg(player, 0, 'f', 3)
                   .arg(literal, 0, 'f', 3)
                   .arg(std::abs(literal) / std::max(std::abs(player), 0.001), 0, 'f', 0);
    }
}

/// Resident memory of a process in KiB.
qint64 residentKiB(qint64 pid)
{
    QFile statm(QStringLiteral("/proc/%1/statm").arg(pid));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    return statm.readAll().split(' ').value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

/// taveloq-play looping a program for the given time: every frame's error
/// against a 20 ms grid, and the player's resident memory at the start and end.
void benchSoak(const QString &folder, int seconds)
{
    VirtualBoard board;
    const QString path = folder + QStringLiteral("/soak.tqp");
    WriteWholeFile(path, QStringLiteral(";InterInstructionDelay=20\r\n") + program().join(QStringLiteral("\r\n")) +
                             QStringLiteral("\r\n"));
    BoardClock clock(board.BoardFd());
    QProcess player;
    player.start(QStringLiteral(TAVELOQ_PLAY), {QStringLiteral("--loop"), QStringLiteral("--no-center"),
                                                QStringLiteral("--device"), board.DevicePath(), path});
    clock.waitFor(kMoves, 30000);
    const qint64 startKiB = residentKiB(player.processId());
    QThread::sleep(seconds);
    const qint64 endKiB = residentKiB(player.processId());
    player.terminate();
    player.waitForFinished(5000);
    double load[3] = {};
    getloadavg(load, 3);
    const std::vector<qint64> arrivals = clock.arrivals();
    QTextStream(stdout) << QStringLiteral("%1 s, %2 frames, load average %3 %4 %5, player exit %6\n")
                               .arg(seconds)
                               .arg(arrivals.size())
                               .arg(load[0], 0, 'f', 2)
                               .arg(load[1], 0, 'f', 2)
                               .arg(load[2], 0, 'f', 2)
                               .arg(player.exitCode());
    // One long schedule: gaps between frames, each against 20 ms.
    std::vector<double> errors;
    for (size_t k = 1; k < arrivals.size(); ++k)
        errors.push_back(std::abs(double(arrivals[k] - arrivals[k - 1] - kDelayNs)) / 1e6);
    std::sort(errors.begin(), errors.end());
    const auto pct = [&](double p) { return errors[std::min(errors.size() - 1, size_t(p * (errors.size() - 1)))]; };
    const double drift = double(arrivals.back() - arrivals.front() - qint64(arrivals.size() - 1) * kDelayNs) / 1e6;
    QTextStream(stdout) << QStringLiteral("gap error median %1 ms  p99 %2 ms  p99.99 %3 ms  max %4 ms  drift %5 ms\n"
                                          "resident memory %6 KiB after the first pass, %7 KiB at the end\n")
                               .arg(pct(0.5), 0, 'f', 3)
                               .arg(pct(0.99), 0, 'f', 3)
                               .arg(pct(0.9999), 0, 'f', 3)
                               .arg(errors.back(), 0, 'f', 3)
                               .arg(drift, 0, 'f', 3)
                               .arg(startKiB)
                               .arg(endKiB);
}

void benchWindow(bool busy)
{
    VirtualBoard board;
    QSerialPort port(board.DevicePath());
    port.setBaudRate(9600);
    if (!port.open(QIODevice::WriteOnly)) {
        QTextStream(stdout) << "cannot open " << board.DevicePath() << "\n";
        return;
    }
    BoardHost host(int(port.handle()));
    ProgramPropertyStore properties;
    properties.SetValue(ProgramPropertyStore::Field::InterInstructionDelay, QStringLiteral("20"));
    ServoModel servos;
    ProgramListing listing(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
    ExecutionController exec(listing, properties, servos);
    exec.SetLink(&host);
    frmExecution window(exec);
    window.resize(700, 450);
    window.show();
    WriteWholeFile(listing.TempFilePath(), program().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    listing.Update();

    // The UI thread busy 30 ms in every 100 ms: a slow repaint, a heavy handler.
    QTimer load;
    QObject::connect(&load, &QTimer::timeout, [] {
        const qint64 until = nowNs() + 30'000'000;
        while (nowNs() < until) {
        }
    });
    if (busy)
        load.start(100);

    BoardClock clock(board.BoardFd());
    QEventLoop wait;
    QObject::connect(&exec, &ExecutionController::runEnded, &wait, &QEventLoop::quit);
    exec.Execute();
    wait.exec();
    load.stop();
    clock.waitFor(kMoves, 2000);
    const QString name = busy ? QStringLiteral("window open, UI busy 30 of 100 ms") : QStringLiteral("window open");
    report(name + QStringLiteral(", board"), clock.arrivals());
    report(name + QStringLiteral(", sent"), host.sent);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QDir().mkpath(DataPaths::UserDataFolder());
    // --soak SECONDS: only the long real-time run of taveloq-play.
    const int soak = app.arguments().indexOf(QStringLiteral("--soak"));
    if (soak > 0) {
        benchSoak(home.path(), app.arguments().value(soak + 1, QStringLiteral("600")).toInt());
        return 0;
    }
    QTextStream(stdout) << kMoves << " moves, " << kDelayNs / 1'000'000
                        << " ms apart, error of each frame at the board against the ideal schedule\n";
    benchDrifts(home.path());
    benchWindow(false);
    benchWindow(true);
    return 0;
}
