#pragma once

#include "library/IConfigurationWindows.h"
#include "mainwindow/MainWindowParts.h"

#include <QObject>

#include <memory>

class ConfigurationFile;
class QAction;
class QMainWindow;
class QMdiSubWindow;
class frmExecution;
class frmServoControl;
struct ConfigurationChoice;

/// The windows a configuration places, reads and redraws, and the menu items of its commands.
struct ConfigurationWindows
{
    QMainWindow &main;
    frmServoControl &servoControl;
    QMdiSubWindow &servoChild;
    frmExecution &execution;
    QMdiSubWindow &executionChild;
    QAction &load;
    QAction &save;
};

/// The Configuration menu's commands and the start-up configuration, with the
/// main window's windows as the configuration's view of them.
class ConfigurationCommands final : public QObject, public IConfigurationWindows
{
    Q_OBJECT
public:
    ConfigurationCommands(const MainWindowParts &parts, const ConfigurationWindows &windows);
    ~ConfigurationCommands() override;

    /// The end of the main window's load step.
    void LoadAtStartUp();

    WindowPositions Positions() const override;
    void SetPositions(const WindowPositions &positions) override;
    int ExecutionModeIndex() const override;
    void SetExecutionModeIndex(int index) override;
    void FocusInstructionList() override;
    void Redraw() override;

private:
    void miLoadConfiguration_Click();
    void miSaveConfiguration_Click();
    bool save(const ConfigurationChoice &choice);

    MainWindowParts m_parts;
    ConfigurationWindows m_windows;
    QMainWindow &m_window;
    std::unique_ptr<ConfigurationFile> m_file;
};
