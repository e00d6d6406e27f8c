#include "help/HTMLHelp.h"

#include "platform/MessageService.h"
#include "platform/Services.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

void showMessage(const QString &text)
{
    Services::messages().show({QStringLiteral("HTML Help Class"), text, MsgButtons::OkCancel, MsgIcon::Critical});
}

} // namespace

HTMLHelp::HTMLHelp(IHelpViewer *viewer)
    : m_viewer(viewer)
{
}

void HTMLHelp::HHDisplayContents(QObject *caller)
{
    display(HelpPane::Contents, caller);
}

void HTMLHelp::HHDisplayIndex(QObject *caller)
{
    display(HelpPane::Index, caller);
}

void HTMLHelp::HHDisplaySearch(QObject *caller)
{
    display(HelpPane::Search, caller);
}

void HTMLHelp::display(HelpPane pane, QObject *caller)
{
    if (!caller && m_showOnTop) {
        // One wording for all three operations.
        showMessage(QStringLiteral("The HHDisplayContents method was called without a form being specified, while "
                                   "HHShowOnTop was set to True."));
        return;
    }
    if (!m_chmFile.endsWith(QLatin1String("chm"), Qt::CaseInsensitive)) {
        showMessage(m_chmFile + QStringLiteral(" is not a valid HTML Help file."));
        return;
    }
    QString file = m_chmFile;
    if (!file.contains(QLatin1Char('/')))
        file = QCoreApplication::applicationDirPath() + QLatin1Char('/') + file;
    if (!QFileInfo(file).isFile()) {
        showMessage(QStringLiteral("The file ") + file + QStringLiteral(" does not exist.") + QLatin1Char('\n') +
                    QStringLiteral("Please make sure the correct path and file name have been specified."));
        return;
    }
    if (m_viewer)
        m_viewer->Show(m_window.isEmpty() ? file : file + QLatin1Char('>') + m_window, pane, caller);
}
