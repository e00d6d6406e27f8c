#pragma once

#include <QObject>
#include <QTimer>

class ExecutionController;
class TraceLanes;

/// Where a run is, as its engine reports it: the top-level line it has reached
/// and how far into the run that was. Between reports it moves on with the
/// run's clock, but never past the line's traced length, so it rests where the
/// run rests (at a Pause, behind a message box) and never runs ahead of the
/// engine. It goes away when the run ends: the listing's selection then shows
/// where the run got to.
class TimelinePlayhead final : public QObject
{
    Q_OBJECT
public:
    explicit TimelinePlayhead(QObject *parent = nullptr);

    /// Follows the runs of exec from now on.
    void Follow(const ExecutionController &exec);

    bool Active() const { return m_line >= 0; }
    /// The line the run last reported; -1 with no run.
    int Line() const { return m_line; }
    /// When that line started, in milliseconds from the start of the run.
    double RunMs() const { return m_runNs / 1e6; }
    /// The time on lanes the playhead stands at now; -1 with no run, or for a line the lanes do not reach.
    double PositionMs(const TraceLanes &lanes) const;

Q_SIGNALS:
    /// A report came, the playhead may have moved on (while a run goes on, every frame of the
    /// display), or it went away.
    void moved();

private:
    void reached(int line, qint64 runNs);
    void ended();

    const ExecutionController *m_exec = nullptr;
    QTimer m_frame;
    int m_line = -1;
    qint64 m_runNs = 0;
};
