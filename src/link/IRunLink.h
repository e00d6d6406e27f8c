#pragma once

#include <QString>

#include <memory>

class IFrameSink;

/// What a program run needs of the link: its state, going online, the
/// "Center on Execution" option and a sink for the run's frames.
class IRunLink
{
public:
    virtual ~IRunLink() = default;

    /// True while the serial port is open (Online).
    virtual bool PortOpen() const = 0;
    /// CommPort Status becomes "Online" and the port opens with the current
    /// port number and settings. Throws AppError (8002 for a port that does
    /// not exist) when it cannot be opened; the status is "Offline" then.
    virtual void GoOnline() = 0;
    /// "True" or "False".
    virtual QString CenterOnExecution() const = 0;
    /// A sink a run writes its frames through from the playback thread,
    /// created on the UI thread before the run starts and destroyed after it
    /// ends. Nothing when the port is closed.
    virtual std::unique_ptr<IFrameSink> CreateRunFrameSink() = 0;
};
