#include "help/HelpViewerHost.h"

#include "help/HelpViewer.h"

HelpViewerHost::HelpViewerHost(QWidget *parent)
    : m_parent(parent)
{
}

HelpViewerHost::~HelpViewerHost()
{
    delete m_window;
}

void HelpViewerHost::Show(const QString &address, HelpPane pane, QObject *)
{
    // A window type names a look the help service would give it; the file is what counts here.
    const qsizetype window = address.lastIndexOf(QLatin1Char('>'));
    const QString file = window > 0 && address.left(window).endsWith(QLatin1String("chm"), Qt::CaseInsensitive)
                             ? address.left(window)
                             : address;
    if (!m_window) {
        m_window = new HelpViewer(m_parent);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_window->OpenFile(file);
    m_window->ShowPane(pane);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}
