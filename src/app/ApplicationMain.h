#pragma once

#include "app/StartUp.h"

#include <QStringList>

#include <memory>

class ExecutionController;
class MDIForm1;
class PropertyGridModel;
class PropertyUpdater;
class QtSoundPlayer;
class ServoLink;
class frmSplash;

/// The desktop application's parts that exist once, and the start-up host that
/// creates the splash and the main window. Constructing it fills Components();
/// destroying it empties them again.
class ApplicationMain final : public IStartupHost
{
public:
    ApplicationMain();
    ~ApplicationMain() override;
    ApplicationMain(const ApplicationMain &) = delete;
    ApplicationMain &operator=(const ApplicationMain &) = delete;

    void ShowSplash() override;
    void SetSplashStatus(const QString &text) override;
    void LoadMainWindow() override;
    void ShowRecentFiles() override;
    void UnloadSplash() override;

    MDIForm1 *mainWindow() const { return m_main.get(); }
    frmSplash *splash() const { return m_splash.get(); }
    PropertyGridModel &grid() const { return *m_grid; }
    ServoLink &link() const { return *m_link; }
    ExecutionController &execution() const { return *m_listing; }
    /// Every text the splash showed, in order.
    QStringList splashTexts() const { return m_splashTexts; }

private:
    std::unique_ptr<ServoLink> m_link;
    std::unique_ptr<QtSoundPlayer> m_sound;
    std::unique_ptr<ExecutionController> m_listing;
    std::unique_ptr<PropertyGridModel> m_grid;
    std::unique_ptr<PropertyUpdater> m_updater;
    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<MDIForm1> m_main;
    QStringList m_splashTexts;
};

/// Runs the desktop application in an existing QApplication; returns its exit code.
int RunApplication();
