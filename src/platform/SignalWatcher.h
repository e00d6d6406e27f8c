#pragma once

#include <QList>
#include <QObject>

#include <functional>
#include <initializer_list>

/// Termination signals (SIGTERM, SIGINT, ...) as calls on the event loop. The handler only writes
/// the signal's number into a pipe, all a handler may safely do; the watcher reads it there and
/// calls back on its own thread. One watcher at a time per process.
class SignalWatcher final : public QObject
{
public:
    /// Without onSignal the signals are only counted.
    explicit SignalWatcher(std::initializer_list<int> signalNumbers,
                           std::function<void(int signalNumber)> onSignal = {}, QObject *parent = nullptr);

    /// Gives the signals back their default action.
    ~SignalWatcher() override;

    /// How many of the signals have arrived, for a loop that polls instead of running the event loop.
    static int Received();

private:
    QList<int> m_signals;
    QObject *m_notifier = nullptr;
};
