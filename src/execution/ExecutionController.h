#pragma once

#include "execution/ExecutionEngine.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class IClock;
class IRunLink;
class ISoundPlayer;
class PlaybackThread;
class ProgramListing;
class ProgramPropertyStore;
class ServoModel;

/// The Execution Controller's run control: the mode, the commands Execute,
/// Pause and Stop, the progress and the buttons' states. It plays the
/// ProgramListing and tells the windows to lock and unlock (signals) rather
/// than calling them.
///
/// Runs play on a PlaybackThread; their selection and progress arrive here as
/// queued signals, and clicks go to the run's mailbox, which it takes at its
/// yield. Lives on the UI thread.
class ExecutionController final : public QObject
{
    Q_OBJECT
public:
    ExecutionController(ProgramListing &listing, const ProgramPropertyStore &properties, ServoModel &servos,
                        QObject *parent = nullptr);
    ~ExecutionController() override;

    /// Who provides the link; without one no run starts.
    void SetLink(IRunLink *link) { m_link = link; }
    void SetSoundPlayer(ISoundPlayer *sound) { m_sound = sound; }
    /// The clock runs wait on; the system clock unless a test gives another.
    void SetClock(IClock *clock) { m_clock = clock; }

    ProgramListing &Listing() const { return m_listing; }

    ExecutionMode Mode() const { return m_mode; }
    void SetMode(ExecutionMode mode)
    {
        m_mode = mode;
        Q_EMIT modeChanged(mode);
    }

    void Execute();
    void Pause();
    void Stop();

    int Progress() const { return m_progress; }
    bool ExecuteEnabled() const { return m_executeEnabled; }
    bool PauseEnabled() const { return m_pauseEnabled; }
    bool StopEnabled() const { return m_stopEnabled; }
    /// Ends a run at once (the application is closing) and waits for its thread.
    void AbortRun();
    /// How long the run under way has lasted, on the clock it waits on; 0 with no run.
    qint64 RunElapsedNs() const;

Q_SIGNALS:
    /// The mode was set (a click or a configuration); the window checks its option.
    void modeChanged(ExecutionMode mode);
    void progressChanged(int percent);
    /// The run reached top-level line `line`, `runNs` after it started (on its clock).
    /// Reported as the selection is: at most one line per wait of the run.
    void lineStarted(int line, qint64 runNs);
    void controlsChanged();
    /// The property grid, both toolbars, the menus File, View, Scripts,
    /// Configuration and Options and the three all-servo buttons are to be
    /// disabled (true) or enabled again (false).
    void interfaceLocked(bool locked);
    /// A run's thread has ended and the window has taken its outcome.
    void runEnded();

private:
    void startRun();
    void onRunFinished();
    void setControls(bool execute, bool pause, bool stop);
    void setProgress(int percent);
    /// What Stop does, whether clicked or seen by the run.
    void stopHandling();
    /// The end of every run: controls back, progress 0, no pause pending.
    void endOfRun();

    ProgramListing &m_listing;
    const ProgramPropertyStore &m_properties;
    ServoModel &m_servos;
    IRunLink *m_link = nullptr;
    ISoundPlayer *m_sound = nullptr;
    IClock *m_clock = nullptr;
    IClock *m_runClock = nullptr; ///< the clock of the run under way
    qint64 m_runStartNs = 0;
    ExecutionMode m_mode = ExecutionMode::Once;
    int m_progress = 0;
    bool m_executeEnabled = true;
    bool m_pauseEnabled = false;
    bool m_stopEnabled = false;
    bool m_pauseRequested = false;
    std::unique_ptr<PlaybackThread> m_run;
    std::unique_ptr<IFrameSink> m_ownedSink;
};
