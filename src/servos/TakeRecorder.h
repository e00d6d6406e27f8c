#pragma once

#include "app/ServoModel.h"
#include "record/ProgramTime.h"
#include "record/Take.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <optional>

class ExecutionController;
class ProgramListing;
class ProgramPropertyStore;

/// Records a take: the live moves of the enabled servos, each at its time from
/// the take's start on the clock, until Stop. Stop turns the take into lines
/// (record core) and puts them into the listing as one step: at its end, or
/// with "Record over the program" the whole program merged with the take by
/// time, the program having played as "Execute once" while the take was
/// recorded: the take is timed by the lines the run reached, so a run held
/// (Pause, a message box) does not shift it against the program. A take is
/// recorded with or without a board: frames go out only Online, as the sliders
/// send them.
///
/// The choices beside the Record button (overdub, tolerance) are kept in the
/// settings store, section "Recording" of the application's key.
class TakeRecorder final : public QObject
{
    Q_OBJECT
public:
    /// How often the elapsed time is told while recording.
    static constexpr int kTickMs = 100;

    TakeRecorder(ProgramListing &listing, const ProgramPropertyStore &properties, const ServoModel &servos,
                 ExecutionController &execution, QObject *parent = nullptr);

    bool Recording() const { return m_recording; }
    /// Recording while the take's own run of the program plays: the performer's moves must reach the
    /// board during it. Not once it has ended: a run the user starts then is not the take's.
    bool Overdubbing() const { return m_recording && m_runStarted && !m_runEndMs; }
    /// A take can be started or stopped: not while a run of the user's own plays.
    bool Available() const { return m_recording || !m_runPlaying; }
    /// Time since the take started; 0 when none is being recorded.
    qint64 ElapsedMs() const;

    bool Overdub() const { return m_overdub; }
    void SetOverdub(bool overdub);
    /// Moves within this many positions of the held one are thinned away; 0 keeps every move.
    int Tolerance() const { return m_tolerance; }
    void SetTolerance(int tolerance);
    static constexpr int kMaxTolerance = 255;

    /// Starts a take; refused with a message when the take could not become
    /// lines (Smart timing) or the program would not play under an overdub.
    void Start();
    /// Ends the take and puts its lines into the listing.
    void Stop();
    /// Start or Stop, as Ctrl+R and the Record button do.
    void Toggle();
    /// Throws the take being recorded away: the listing stays as it was.
    void Discard();

    /// A live move of `servo` to `position`, made at `atNs` on the clock (now
    /// when not given). Kept only while recording, for an enabled servo, and
    /// when it differs from the servo's last captured position.
    void Capture(int servo, int position, std::optional<qint64> atNs = std::nullopt);

    /// A finished take to save as a script.
    bool HasTake() const { return m_last.has_value(); }
    /// The last finished take as it went into the listing: thinned, and on the program's time under an overdub.
    const std::optional<Take> &LastTake() const { return m_last; }
    /// Writes the last take as the script `name` of `folder` (replacing the
    /// file), then a "Script name" line takes the place of the take's lines
    /// (one step), or is appended when the listing no longer holds them. A take
    /// laid over the program stays where it is: the script only is written.
    /// False when nothing was written (the failure has been reported).
    bool SaveTakeAsScript(const QString &folder, const QString &name);

Q_SIGNALS:
    /// Recording, Available or HasTake changed.
    void stateChanged();
    /// About every kTickMs while recording, and once at the start and the end.
    void elapsedChanged(qint64 ms);

private:
    /// Milliseconds from the take's start to atNs on the clock, now when not given.
    qint64 takeMs(std::optional<qint64> atNs = std::nullopt) const;
    void setRecording(bool recording);
    void setLast(std::optional<Take> take);

    ProgramListing &m_listing;
    const ProgramPropertyStore &m_properties;
    const ServoModel &m_servos;
    ExecutionController &m_execution;
    QTimer m_tick;
    bool m_recording = false;
    bool m_overdub = false;
    int m_tolerance = Take::kDefaultTolerance;
    // The clock's time of the take's start: the run's under an overdub.
    qint64 m_startNs = 0;
    bool m_runStarted = false;
    // Under an overdub: the lines the run reached and when it ended, in take time.
    QList<LineReached> m_reached;
    std::optional<qint64> m_runEndMs;
    bool m_runPlaying = false;
    Take m_take;
    std::array<int, kServoCount> m_lastPosition{};

    /// The last finished take, how it went in and the lines it became.
    std::optional<Take> m_last;
    bool m_lastOverdub = false;
    QStringList m_lastLines;
};
