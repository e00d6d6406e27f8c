#include "platform/SignalWatcher.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
std::atomic<int> g_received{0};

void onSignal(int signalNumber)
{
    g_received.fetch_add(1);
    const char c = char(signalNumber);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
}

} // namespace

SignalWatcher::SignalWatcher(std::initializer_list<int> signalNumbers, std::function<void(int)> onSignalArrived,
                             QObject *parent)
    : QObject(parent)
    , m_signals(signalNumbers)
{
    if (onSignalArrived && ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
        m_notifier = notifier;
        connect(notifier, &QSocketNotifier::activated, this, [onSignalArrived = std::move(onSignalArrived)] {
            char buffer[16];
            ssize_t n = 0;
            while ((n = ::read(g_pipe[0], buffer, sizeof buffer)) > 0) {
                for (ssize_t i = 0; i < n; ++i)
                    onSignalArrived(int(buffer[i]));
            }
        });
    }

    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : m_signals)
        sigaction(signalNumber, &action, nullptr);
}

SignalWatcher::~SignalWatcher()
{
    for (int signalNumber : m_signals)
        std::signal(signalNumber, SIG_DFL);
    delete m_notifier; // before its descriptor goes

    for (int &end : g_pipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int SignalWatcher::Received()
{
    return g_received.load();
}
