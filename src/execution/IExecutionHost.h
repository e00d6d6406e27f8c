#pragma once

#include <QString>

#include <memory>

class IFrameSink;

/// What the Execution Controller needs from the rest of the application: the
/// link's state, the two execution rows of the property grid, the frame sink a
/// run writes through, and the main window's controls it locks. The main window
/// implements it; the controller never touches widgets of other windows.
class IExecutionHost
{
public:
    virtual ~IExecutionHost() = default;

    /// True while the serial port is open (Online).
    virtual bool PortOpen() const = 0;
    /// Sets the CommPort Status cell to "Online" and opens the port with the
    /// grid's port number and settings. Throws AppError (8002 for a port that
    /// does not exist) when the port cannot be opened.
    virtual void GoOnline() = 0;
    /// The "Center on Execution" cell (grid row 12): "True" or "False".
    virtual QString CenterOnExecution() const = 0;
    /// A sink a run writes its frames through from the playback thread,
    /// created on the UI thread before the run starts and destroyed after it
    /// ends. Nothing when the port is closed.
    virtual std::unique_ptr<IFrameSink> CreateRunFrameSink() = 0;
    /// Disables (true) or enables (false) the property grid, the buttons of both
    /// toolbars, the menus File, View, Scripts, Configuration and Options, and
    /// the three all-servo buttons.
    virtual void SetInterfaceLocked(bool locked) = 0;
    /// Switches to the Servo Controller view as the view toolbar's first button does.
    virtual void ShowServoControllerView() = 0;
};
