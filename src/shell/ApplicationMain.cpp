#include "shell/ApplicationMain.h"

#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/sound/QtSoundPlayer.h"
#include "help/HelpFile.h"
#include "link/LinkSession.h"
#include "link/ServoLink.h"
#include "mainwindow/MDIForm1.h"
#include "platform/MessageService.h"
#include "platform/ScreenFit.h"
#include "platform/Services.h"
#include "platform/SignalWatcher.h"
#include "platform/WidgetServices.h"
#include "platform/frmSplash.h"
#include "program/FileCommands.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"
#include "servos/EditControlSurface.h"
#include "servos/TakeRecorder.h"
#include "servos/frmServoControl.h"
#include "surface/OscSurface.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTextStream>

#include <csignal>
#include <utility>

namespace {

// The splash stays above every window: a message box shown under it would
// wait unseen, and start-up would look hung. So it goes before the first box.
class SplashClosingMessages final : public IMessageService
{
public:
    SplashClosingMessages(IMessageService &boxes, QPointer<frmSplash> &splash)
        : m_boxes(boxes)
        , m_splash(splash)
    {
    }
    MsgAnswer show(const MessageRequest &request) override
    {
        delete m_splash;
        return m_boxes.show(request);
    }

private:
    IMessageService &m_boxes;
    QPointer<frmSplash> &m_splash;
};

// One twip is 1/1440 inch.
int twipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

} // namespace

ApplicationMain::ApplicationMain(bool offerRecovery)
    : m_properties(std::make_unique<ProgramPropertyStore>())
    , m_servos(std::make_unique<ServoModel>())
    , m_link(std::make_unique<ServoLink>(*m_properties))
    , m_session(std::make_unique<LinkSession>(*m_properties, *m_link))
    , m_listing(
          std::make_unique<ProgramListing>(DataPaths::UserDataFolder() + QLatin1Char('/') + DataPaths::TempFileName()))
    , m_commands(std::make_unique<ProgramCommands>(*m_properties, *m_listing))
    , m_files(std::make_unique<FileCommands>(*m_commands, *m_listing))
    , m_recovery(std::make_unique<ProgramRecovery>(*m_listing, *m_commands, *m_properties))
    , m_offerRecovery(offerRecovery)
    , m_sound(std::make_unique<QtSoundPlayer>())
    , m_execution(std::make_unique<ExecutionController>(*m_listing, *m_properties, *m_servos))
    , m_exportSettings(std::make_unique<ExportSettingsStore>())
    , m_surface(std::make_unique<OscSurface>(*m_link, *m_servos, *m_properties))
    , m_recorder(std::make_unique<TakeRecorder>(*m_listing, *m_properties, *m_servos, *m_execution))
    , m_screenFit(std::make_unique<ScreenFit>())
{
    qApp->installEventFilter(m_screenFit.get());
    m_execution->SetLink(m_session.get());
    // What the link sends live goes into a take being recorded, as the figure made it: the sliders'
    // and the control surface's moves. Offline the sliders hand theirs to the take themselves.
    QObject::connect(m_link.get(), &ServoLink::frameSent, m_recorder.get(),
                     [this](int servo, int position, qint64 atNs) { m_recorder->Capture(servo, position, atNs); });
    QObject::connect(m_recorder.get(), &TakeRecorder::stateChanged, m_link.get(),
                     [this] { m_link->LetLiveMovesThrough(m_recorder->Overdubbing()); });
    m_execution->SetSoundPlayer(m_sound.get());
}

ApplicationMain::~ApplicationMain()
{
    // A run still playing must end before the windows and the link it uses go.
    m_execution->AbortRun();
    m_surface->Stop();
    m_session->SetSliders(nullptr);
    m_main.reset();
    UnloadSplash();
    m_link->Close();
}

void ApplicationMain::PrepareTempFile()
{
    // Before the splash, which would hide the question.
    m_recovered = m_recovery->TakeTempFile(m_offerRecovery);
}

void ApplicationMain::ShowSplash()
{
    m_splash = new frmSplash;
    m_splash->SetShowAsSplash(true);
    m_splash->show();
    m_splash->repaint();
    m_messages = &Services::messages();
    m_splashMessages = std::make_unique<SplashClosingMessages>(*m_messages, m_splash);
    Services::setMessages(m_splashMessages.get());
}

void ApplicationMain::SetSplashStatus(const QString &text)
{
    if (m_splash)
        m_splash->SetStatus(text);
}

void ApplicationMain::LoadMainWindow()
{
    m_main = std::make_unique<MDIForm1>(MainWindowParts{*m_properties, *m_session, *m_servos, *m_listing, *m_execution,
                                                        *m_commands, *m_files, *m_exportSettings, *m_recorder});
    m_session->SetSliders(m_main->ServoControl());
    QObject::connect(m_main.get(), &MDIForm1::closing, m_main.get(), [this] { Shutdown(); });
    QObject::connect(m_main->MenuItem(QStringLiteral("miControlSurface")), &QAction::triggered, m_main.get(),
                     [this] { EditControlSurface(*m_surface, m_main.get()); });

    // Its working size, centred on the screen, before the load step: a start-up
    // configuration's Window Position then places and sizes it as it was saved.
    const QScreen *screen = m_main->screen();
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    const QSize size(twipsToPixels(12075, dpiX), twipsToPixels(7380, dpiY));
    m_main->resize(size);
    if (screen) {
        const QRect area = screen->availableGeometry();
        m_main->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
    m_main->Load();
    // Once the port is open: the first message may move a servo at once.
    m_surface->Apply(SurfaceSettings::Load());
    // After the start-up configuration, whose properties the recovered ones replace.
    if (m_recovered)
        m_recovery->Restore(*std::exchange(m_recovered, std::nullopt));
    m_main->show();
    // Without a window manager to honour its stay-on-top flag, the splash would
    // sit under the window that just appeared for the rest of the start-up.
    if (m_splash)
        m_splash->raise();
    QCoreApplication::processEvents();
}

void ApplicationMain::ShowRecentFiles()
{
    m_files->LoadRecentFiles();
}

void ApplicationMain::UnloadSplash()
{
    delete m_splash;
    if (m_splashMessages && &Services::messages() == m_splashMessages.get())
        Services::setMessages(m_messages);
}

frmSplash *ApplicationMain::splash() const
{
    return m_splash;
}

void ApplicationMain::Shutdown()
{
    m_surface->Stop();
    m_recovery->RemoveTempFile();
    m_link->Close();
}

void ApplicationMain::Terminate()
{
    m_terminated = true;
    m_execution->AbortRun();
    Shutdown();
    // Leaves every event loop, a modal box's too.
    QCoreApplication::exit(0);
}

int RunApplication(const QString &programPath)
{
    WidgetMessageService messages;
    WidgetFileDialogService dialogs;
    Services::setMessages(&messages);
    Services::setFileDialogs(&dialogs);

    int code = 1;
    {
        ApplicationMain host;
        // They end the program as closing the window does.
        const SignalWatcher watcher({SIGTERM, SIGINT, SIGHUP}, [&host](int) { host.Terminate(); });

        if (RunStartUp(host) && host.mainWindow()) {
            if (!programPath.isEmpty())
                host.files().OpenPath(programPath);
            code = host.Terminated() ? 0 : QApplication::exec();
        }
    }

    Services::setMessages(nullptr);
    Services::setFileDialogs(nullptr);
    return code;
}

int CheckApplication(const QString &programPath)
{
    // Nobody answers the boxes of an unattended check.
    StderrMessageService messages(QStringLiteral("taveloq"));
    WidgetFileDialogService dialogs;
    Services::setMessages(&messages);
    Services::setFileDialogs(&dialogs);

    bool programFound = false;
    QTextStream out(stdout);
    {
        ApplicationMain host(false);
        QObject::connect(&host.commands(), &ProgramCommands::programLoaded, &host.commands(),
                         [&programFound] { programFound = true; });
        if (RunStartUp(host) && host.mainWindow() && !programPath.isEmpty())
            host.files().OpenPath(programPath);
        if (programFound) {
            out << "Program: " << host.commands().CurrentProgramPath() << ", " << host.listing().Items().size()
                << " lines" << Qt::endl;
        } else {
            out << "Program: none opened" << Qt::endl;
        }
        host.Shutdown();
    }
    const QString helpFile = FindHelpFile();
    out << "Help file: " << (helpFile.isEmpty() ? QStringLiteral("none found") : helpFile) << Qt::endl;

    Services::setMessages(nullptr);
    Services::setFileDialogs(nullptr);
    return programFound && !helpFile.isEmpty() ? 0 : 1;
}
