#pragma once

#include <QString>

/// What a run reports while it plays, called on the playback thread. Calls
/// must return at once (queue the work for the UI thread): they sit on the
/// timing path between two frames.
class IRunObserver
{
public:
    virtual ~IRunObserver() = default;
    /// Line `line` of the listing becomes the selected one.
    virtual void Selected(int line) = 0;
    /// The progress bar's position, 0 to 100.
    virtual void Progress(int percent) = 0;
    /// Top-level line `line` starts playing, in every mode (Step plays a line
    /// without selecting it, and then selects the next one).
    virtual void LineStarted(int line) { (void)line; }
    /// A wait of `ms` milliseconds is about to start (pauses, delays, centring).
    virtual void Waiting(long long ms) { (void)ms; }
    /// The run has stopped at a yield because of a Pause and waits for Resume or Stop.
    virtual void PausedAtYield() {}
    /// A `wav` line starts the sound file `name`, as the line writes it.
    virtual void SoundStarted(const QString &name) { (void)name; }
    /// ServoPosition of `servo` now holds `position`.
    virtual void ServoPositionSet(int servo, int position) { (void)servo, (void)position; }
};
