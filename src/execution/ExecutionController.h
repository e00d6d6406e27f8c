#pragma once

#include "app/AppComponents.h"
#include "execution/ExecutionEngine.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class IClock;
class IExecutionHost;
class ISoundPlayer;
class PlaybackThread;

/// The Execution Controller without its widgets: the listing, its summary, the
/// selection, the run state and the buttons' states, and the commands Update,
/// UpdateTempFile, Execute, Pause and Stop. frmExecution shows it; the rest of
/// the program reaches the listing through it (Components().execution).
///
/// Runs play on a PlaybackThread; their selection and progress arrive here as
/// queued signals, and clicks go to the run's mailbox, which it takes at its
/// yield. Lives on the UI thread.
class ExecutionController final : public QObject, public IExecutionList
{
    Q_OBJECT
public:
    struct Summary
    {
        int instructionCount = 0;
        int movCount = 0;
        int pauseCount = 0;
        qint64 pauseTime = 0;
        int scriptCount = 0;
    };
    /// Which edit item the list's popup menu shows for a line (exact letter case).
    enum class EditItem { Unchanged, Mov, Pause, Script, Wav };

    explicit ExecutionController(QObject *parent = nullptr);
    ~ExecutionController() override;

    /// Who provides the link state and the locking; without one no run starts.
    void SetHost(IExecutionHost *host) { m_host = host; }
    void SetSoundPlayer(ISoundPlayer *sound) { m_sound = sound; }
    /// The clock runs wait on; the system clock unless a test gives another.
    void SetClock(IClock *clock) { m_clock = clock; }

    /// Reloads the list from the temporary file, drops the lines it does not
    /// recognise (one message each, file rewritten), reselects the remembered
    /// line and sets the summary.
    void Update() override;
    QStringList ListItems() const override { return m_items; }
    /// Replaces the list's items (the editing commands, before UpdateTempFile and Update).
    void SetItems(const QStringList &items);
    /// Writes the list to the temporary file, each item followed by CR LF.
    void UpdateTempFile();

    const Summary &ProgramSummary() const { return m_summary; }
    /// The five summary values as the window shows them.
    QStringList SummaryTexts() const;

    ExecutionMode Mode() const { return m_mode; }
    void SetMode(ExecutionMode mode) { m_mode = mode; }

    /// The list's selection; -1 for none.
    int SelectedLine() const { return m_selected; }
    /// The user selected a line (list click): selection and SelectedInstructionIndex.
    void ListClicked(int line);
    /// The list's selection changed without a click (keyboard, code).
    void SetSelectedLine(int line);
    QString SelectedInstructionIndex() const { return m_selectedInstructionIndex; }
    void SetSelectedInstructionIndex(const QString &index) { m_selectedInstructionIndex = index; }

    void Execute();
    void Pause();
    void Stop();

    int Progress() const { return m_progress; }
    bool ExecuteEnabled() const { return m_executeEnabled; }
    bool PauseEnabled() const { return m_pauseEnabled; }
    bool StopEnabled() const { return m_stopEnabled; }
    /// True while a run's thread is alive.
    bool RunActive() const { return m_run != nullptr; }
    /// Ends a run at once (the application is closing) and waits for its thread.
    void AbortRun();

    static EditItem EditItemFor(const QString &line);

Q_SIGNALS:
    void listChanged();
    void selectionChanged(int line);
    void progressChanged(int percent);
    void summaryChanged();
    void controlsChanged();
    /// A run's thread has ended and the window has taken its outcome.
    void runEnded();

private:
    void startRun();
    void onRunFinished();
    void setControls(bool execute, bool pause, bool stop);
    void setProgress(int percent);
    void setSelected(int line);
    /// What Stop does, whether clicked or seen by the run.
    void stopHandling();
    /// The end of every run: controls back, progress 0, no pause pending.
    void endOfRun();

    IExecutionHost *m_host = nullptr;
    ISoundPlayer *m_sound = nullptr;
    IClock *m_clock = nullptr;
    QStringList m_items;
    Summary m_summary;
    ExecutionMode m_mode = ExecutionMode::Once;
    int m_selected = -1;
    QString m_selectedInstructionIndex;
    int m_progress = 0;
    bool m_executeEnabled = true;
    bool m_pauseEnabled = false;
    bool m_stopEnabled = false;
    bool m_pauseRequested = false;
    bool m_startPending = false;
    std::unique_ptr<PlaybackThread> m_run;
    std::unique_ptr<IFrameSink> m_ownedSink;
};
