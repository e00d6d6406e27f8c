#include "app/ApplicationMain.h"

#include "app/AppComponents.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "execution/sound/QtSoundPlayer.h"
#include "link/PropertyUpdater.h"
#include "link/ServoLink.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/PropertyGridModel.h"
#include "platform/Services.h"
#include "platform/WidgetServices.h"
#include "platform/frmSplash.h"
#include "servos/frmServoControl.h"

#include <QApplication>
#include <QScreen>

namespace {

// One twip is 1/1440 inch.
int twipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

} // namespace

ApplicationMain::ApplicationMain()
    : m_link(std::make_unique<ServoLink>())
    , m_sound(std::make_unique<QtSoundPlayer>())
    , m_listing(std::make_unique<ExecutionController>())
    , m_grid(std::make_unique<PropertyGridModel>())
    , m_updater(std::make_unique<PropertyUpdater>(*m_grid, *m_link))
{
    m_listing->SetSoundPlayer(m_sound.get());
    Components().execution = m_listing.get();
    Components().grid = m_grid.get();
    Components().link = m_link.get();
}

ApplicationMain::~ApplicationMain()
{
    // A run still playing must end before the windows and the link it uses go.
    m_listing->AbortRun();
    m_listing->SetHost(nullptr);
    m_updater->SetSliders(nullptr);
    m_main.reset();
    m_splash.reset();
    m_link->Close();
    Components() = AppComponents{};
}

void ApplicationMain::ShowSplash()
{
    m_splash = std::make_unique<frmSplash>();
    m_splashTexts << m_splash->Status();
    m_splash->show();
    m_splash->repaint();
}

void ApplicationMain::SetSplashStatus(const QString &text)
{
    m_splashTexts << text;
    if (m_splash)
        m_splash->SetStatus(text);
}

void ApplicationMain::LoadMainWindow()
{
    m_main = std::make_unique<MDIForm1>();
    m_main->SetLink(m_link.get(), m_grid.get());
    m_updater->SetSliders(m_main->ServoControl());
    m_listing->SetHost(m_main.get());
    auto *execution = new frmExecution(*m_listing);
    m_main->SetExecutionWindow(execution);
    QObject::connect(execution, &frmExecution::listRightClicked, m_main.get(), &MDIForm1::ShowExecEditPopup);
    m_main->Load();

    // Designed centred on the screen; start-up then gives it its working size.
    const QScreen *screen = m_main->screen();
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    const QSize size(twipsToPixels(12075, dpiX), twipsToPixels(7380, dpiY));
    m_main->resize(size);
    if (screen) {
        const QRect area = screen->availableGeometry();
        m_main->move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
    }
    m_main->show();
    QCoreApplication::processEvents();
}

void ApplicationMain::ShowRecentFiles()
{
}

void ApplicationMain::UnloadSplash()
{
    m_splash.reset();
}

int RunApplication()
{
    WidgetMessageService messages;
    WidgetFileDialogService dialogs;
    Services::setMessages(&messages);
    Services::setFileDialogs(&dialogs);

    int code = 1;
    {
        ApplicationMain host;
        if (RunStartUp(host) && host.mainWindow())
            code = QApplication::exec();
    }

    Services::setMessages(nullptr);
    Services::setFileDialogs(nullptr);
    return code;
}
