#pragma once

#include "app/ProgramProperties.h"
#include "execution/TraceLanes.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <stop_token>

class QThread;

/// Traces programs for the timeline on a thread of its own, so that an edit
/// never waits for the trace. One trace at a time: a newer request cancels the
/// one under way and follows it, and only the newest request's lanes come back.
/// The thread gets copies of everything it reads. Lives on the UI thread.
class TimelineTracer final : public QObject
{
    Q_OBJECT
public:
    struct Input
    {
        QStringList items;
        ProgramProperties properties;
        QString scriptsFolder;
        TraceLanes::SoundLength soundLength; ///< called on the tracing thread
    };

    explicit TimelineTracer(QObject *parent = nullptr);
    /// Cancels a trace under way and waits for its thread.
    ~TimelineTracer() override;

    void Request(Input input);
    /// A trace is under way or waiting to start.
    bool Busy() const { return m_thread != nullptr; }

Q_SIGNALS:
    /// The lanes of the newest request.
    void traced(const TraceLanes &lanes);

private:
    void start(Input input);
    void finished();

    std::unique_ptr<QThread> m_thread;
    std::stop_source m_stop;
    std::optional<Input> m_next;
    TraceLanes m_result; ///< written by the thread, read once it has finished
};
