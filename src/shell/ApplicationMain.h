#pragma once

#include "app/StartUp.h"
#include "program/ProgramRecovery.h"

#include <QPointer>

#include <memory>
#include <optional>

class ExecutionController;
class ExportSettingsStore;
class FileCommands;
class IMessageService;
class LinkSession;
class MDIForm1;
class OscSurface;
class ProgramCommands;
class ProgramListing;
class ProgramPropertyStore;
class QtSoundPlayer;
class ScreenFit;
class ServoLink;
class ServoModel;
class TakeRecorder;
class frmSplash;

/// The desktop application: the one place that knows every part, makes each
/// once and hands them to each other; also the start-up host that creates the
/// splash and the main window.
class ApplicationMain final : public IStartupHost
{
public:
    /// `offerRecovery` false (an unattended check): a program left by a copy
    /// that died is neither offered nor emptied, but kept for a later start.
    explicit ApplicationMain(bool offerRecovery = true);
    ~ApplicationMain() override;
    ApplicationMain(const ApplicationMain &) = delete;
    ApplicationMain &operator=(const ApplicationMain &) = delete;

    /// Also asks whether to recover the program a copy that died left there.
    void PrepareTempFile() override;
    void ShowSplash() override;
    void SetSplashStatus(const QString &text) override;
    void LoadMainWindow() override;
    void ShowRecentFiles() override;
    void UnloadSplash() override;

    /// The main window's query-unload, once its save question let it close:
    /// the temporary file goes and the port closes.
    void Shutdown();
    /// A termination signal: the run ends at once, then as Shutdown, and the
    /// program leaves its event loops.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    MDIForm1 *mainWindow() const { return m_main.get(); }
    frmSplash *splash() const;
    ProgramPropertyStore &properties() const { return *m_properties; }
    ServoModel &servos() const { return *m_servos; }
    ServoLink &link() const { return *m_link; }
    LinkSession &session() const { return *m_session; }
    ProgramListing &listing() const { return *m_listing; }
    ProgramCommands &commands() const { return *m_commands; }
    FileCommands &files() const { return *m_files; }
    ExecutionController &execution() const { return *m_execution; }
    ExportSettingsStore &exportSettings() const { return *m_exportSettings; }
    OscSurface &surface() const { return *m_surface; }
    TakeRecorder &recorder() const { return *m_recorder; }

private:
    std::unique_ptr<ProgramPropertyStore> m_properties;
    std::unique_ptr<ServoModel> m_servos;
    std::unique_ptr<ServoLink> m_link;
    std::unique_ptr<LinkSession> m_session;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<ProgramCommands> m_commands;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<ProgramRecovery> m_recovery;
    // The program to recover once the main window is up.
    std::optional<ProgramRecovery::Program> m_recovered;
    bool m_offerRecovery;
    std::unique_ptr<QtSoundPlayer> m_sound;
    std::unique_ptr<ExecutionController> m_execution;
    std::unique_ptr<ExportSettingsStore> m_exportSettings;
    // After the link and the servos it moves, so it goes before them.
    std::unique_ptr<OscSurface> m_surface;
    std::unique_ptr<TakeRecorder> m_recorder;
    std::unique_ptr<ScreenFit> m_screenFit;
    QPointer<frmSplash> m_splash; // deletes itself when closed
    std::unique_ptr<MDIForm1> m_main;
    // While the splash shows, message boxes go through here, which closes it first.
    std::unique_ptr<IMessageService> m_splashMessages;
    IMessageService *m_messages = nullptr;
    bool m_terminated = false;
};

/// Runs the desktop application in an existing QApplication, opening
/// programPath after start-up when it is given; returns its exit code.
int RunApplication(const QString &programPath = QString());

/// For packagers and CI: starts as usual with messages on stderr, opens
/// programPath, prints the program's name and line count and the help file
/// found (or that none was), and returns 0 only when both were found.
int CheckApplication(const QString &programPath);
