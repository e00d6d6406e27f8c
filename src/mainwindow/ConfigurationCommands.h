#pragma once

#include "library/IConfigurationWindows.h"
#include "mainwindow/MDIForm1.h"

#include <QObject>

#include <memory>

class ConfigurationFile;
struct ConfigurationChoice;

/// The Configuration menu's commands and the start-up configuration, with the
/// main window as the configuration's view of the windows.
class ConfigurationCommands final : public QObject, public IConfigurationWindows
{
    Q_OBJECT
public:
    ConfigurationCommands(const MainWindowParts &parts, MDIForm1 &window);
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
    void save(const ConfigurationChoice &choice);

    MainWindowParts m_parts;
    MDIForm1 &m_window;
    std::unique_ptr<ConfigurationFile> m_file;
};
