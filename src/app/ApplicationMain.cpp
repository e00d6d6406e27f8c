#include "app/ApplicationMain.h"

#include "app/AppComponents.h"
#include "app/StartUp.h"
#include "execution/ExecutionController.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/PropertyGridModel.h"
#include "platform/Services.h"
#include "platform/WidgetServices.h"
#include "platform/frmSplash.h"

#include <QApplication>
#include <QScreen>

#include <memory>

namespace {

// One twip is 1/1440 inch.
int twipsToPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

class WidgetStartupHost final : public IStartupHost
{
public:
    void ShowSplash() override
    {
        m_splash = std::make_unique<frmSplash>();
        m_splash->show();
        m_splash->repaint();
    }
    void SetSplashStatus(const QString &text) override
    {
        if (m_splash)
            m_splash->SetStatus(text);
    }
    void LoadMainWindow() override
    {
        m_main = std::make_unique<MDIForm1>();
        const QScreen *screen = m_main->screen();
        const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
        const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
        m_main->resize(twipsToPixels(12075, dpiX), twipsToPixels(7380, dpiY));
        m_main->show();
        QCoreApplication::processEvents();
    }
    void ShowRecentFiles() override {}
    void UnloadSplash() override { m_splash.reset(); }

    MDIForm1 *mainWindow() const { return m_main.get(); }

private:
    std::unique_ptr<frmSplash> m_splash;
    std::unique_ptr<MDIForm1> m_main;
};

} // namespace

int RunApplication()
{
    WidgetMessageService messages;
    WidgetFileDialogService dialogs;
    Services::setMessages(&messages);
    Services::setFileDialogs(&dialogs);

    ExecutionController listing;
    PropertyGridModel grid;
    Components().execution = &listing;
    Components().grid = &grid;

    WidgetStartupHost host;
    if (!RunStartUp(host) || !host.mainWindow())
        return 1;
    const int code = QApplication::exec();

    Components() = AppComponents{};
    Services::setMessages(nullptr);
    Services::setFileDialogs(nullptr);
    return code;
}
