#pragma once

#include <QtGlobal>

/// The windows' placement as configuration files keep it, in twips.
struct WindowPositions
{
    qint16 state = 0; ///< main window: 0 normal, 1 minimised, 2 maximised
    qint16 mdiLeft = 0, mdiTop = 0, mdiHeight = 0, mdiWidth = 0;
    qint16 exeLeft = 0, exeTop = 0;
    qint16 srvLeft = 0, srvTop = 0;
};

/// What a configuration reads from and gives to the windows: their placement,
/// the Execution Controller's mode option and its list's focus. The main
/// window implements it.
class IConfigurationWindows
{
public:
    virtual ~IConfigurationWindows() = default;
    virtual WindowPositions Positions() const = 0;
    /// Places the windows, then moves any whose title bar would lie off every
    /// screen (a file saved on a larger screen) back onto one.
    virtual void SetPositions(const WindowPositions &positions) = 0;
    /// Index 0..3 of the first selected mode option.
    virtual int ExecutionModeIndex() const = 0;
    /// Selects option 0..3.
    virtual void SetExecutionModeIndex(int index) = 0;
    virtual void FocusInstructionList() = 0;
    /// The Servo Controller, the Execution Controller and the main window redrawn.
    virtual void Redraw() = 0;
};
