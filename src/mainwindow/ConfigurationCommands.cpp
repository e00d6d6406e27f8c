#include "mainwindow/ConfigurationCommands.h"

#include "app/DataPaths.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "library/ConfigurationFile.h"
#include "library/ScriptLibrary.h"
#include "library/frmSaveConfiguration.h"
#include "platform/AppError.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "program/ProgramCommands.h"
#include "servos/frmServoControl.h"

#include <QAction>
#include <QGuiApplication>
#include <QListView>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWindow>

namespace {

const QString kFilter = QStringLiteral("Taveloq Configuration Files    *.tqc|*.tqc");
// What of a title bar must lie on a screen for the user to reach it with the mouse.
constexpr int kTitleBarGrip = 24;

qreal dpi(const QWidget &window)
{
    const QScreen *screen = window.screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

qint16 toTwips(int pixels, qreal dpi)
{
    return qint16(qBound(-32768, qRound(pixels * 1440.0 / dpi), 32767));
}

int toPixels(int twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

// The top-left at which a frame's title bar lies within `area`, the frame moved as little as needed.
QPoint titleBarInside(const QRect &frame, const QRect &area)
{
    const int grip = qMin(kTitleBarGrip, frame.width());
    const int x = qBound(area.left() - frame.width() + grip, frame.x(), area.right() + 1 - grip);
    const int y = qBound(area.top(), frame.y(), area.bottom() + 1 - kTitleBarGrip);
    return {x, y};
}

} // namespace

ConfigurationCommands::ConfigurationCommands(const MainWindowParts &parts, const ConfigurationWindows &windows)
    : QObject(&windows.main)
    , m_parts(parts)
    , m_windows(windows)
    , m_window(windows.main)
    , m_file(std::make_unique<ConfigurationFile>(ConfigurationParts{parts.properties, parts.servos, parts.commands,
                                                                    parts.listing, parts.exportSettings,
                                                                    windows.servoControl, *this}))
{
    connect(&windows.load, &QAction::triggered, this,
            [this] { Reported(QStringLiteral("0029"), [this] { miLoadConfiguration_Click(); }); });
    connect(&windows.save, &QAction::triggered, this,
            [this] { Reported(QStringLiteral("0040"), [this] { miSaveConfiguration_Click(); }); });
}

ConfigurationCommands::~ConfigurationCommands() = default;

void ConfigurationCommands::LoadAtStartUp()
{
    Reported(QStringLiteral("0029"), [this] { m_file->LoadAtStartUp(); });
}

void ConfigurationCommands::miLoadConfiguration_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Load Configuration...");
    request.filter = kFilter;
    request.initialFolder = DataPaths::ConfigFolder();
    m_file->Load(Services::fileDialogs().choose(request));
}

void ConfigurationCommands::miSaveConfiguration_Click()
{
    frmSaveConfiguration dialog(
        !m_parts.commands.CurrentProgramPath().isEmpty(),
        [this](const ConfigurationChoice &choice) { return save(choice); },
        [] {
            Reported(QStringLiteral("00910"), [] {
                ConfigurationFile::RestoreStartUpDefaults();
                ShowUserMessage(QStringLiteral("The Start-Up Defaults have been reset."), MsgButtons::OkCancel,
                                MsgIcon::Information);
            });
        },
        &m_window);
    dialog.exec();
}

bool ConfigurationCommands::save(const ConfigurationChoice &choice)
{
    bool written = false;
    Reported(QStringLiteral("00910"), [this, &choice, &written] {
        FileDialogRequest request;
        request.mode = FileDialogRequest::Mode::Save;
        request.title = QStringLiteral("Save Configuration As...");
        request.filter = kFilter;
        request.initialFolder = DataPaths::ConfigFolder();
        // The writer changes only the keys it names, so an existing file is added to, not replaced.
        request.confirmOverwrite = false;
        const QString path = Services::fileDialogs().choose(request);
        if (!path.isEmpty())
            m_file->Save(path, choice);
        written = true; // or nothing chosen: the dialog closes either way
    });
    return written;
}

WindowPositions ConfigurationCommands::Positions() const
{
    const qreal d = dpi(m_window);
    // The frame's top left, as move() takes it, and the size without the frame, as resize() takes it:
    // the window comes back as it was, also before the window manager has framed it.
    const QRect main(m_window.frameGeometry().topLeft(), m_window.size());
    const qint16 state = m_window.isMinimized() ? 1 : m_window.isMaximized() ? 2 : 0;
    const QPoint exe = m_windows.executionChild.pos();
    const QPoint srv = m_windows.servoChild.pos();
    return {state,
            toTwips(main.x(), d),
            toTwips(main.y(), d),
            toTwips(main.height(), d),
            toTwips(main.width(), d),
            toTwips(exe.x(), d),
            toTwips(exe.y(), d),
            toTwips(srv.x(), d),
            toTwips(srv.y(), d)};
}

void ConfigurationCommands::SetPositions(const WindowPositions &p)
{
    if (p.state < 0 || p.state > 2)
        throw AppError::invalidArgument();
    if (p.state == 1) {
        m_window.showMinimized();
        return;
    }
    if (p.state == 2) {
        // A maximised window is neither moved nor sized.
        m_window.showMaximized();
        return;
    }
    const qreal d = dpi(m_window);
    const QSize size(qMax(1, toPixels(p.mdiWidth, d)), qMax(1, toPixels(p.mdiHeight, d)));
    QRect frame(QPoint(toPixels(p.mdiLeft, d), toPixels(p.mdiTop, d)),
                size + m_window.frameGeometry().size() - m_window.size());
    const QScreen *screen = QGuiApplication::screenAt(frame.topLeft() + QPoint(kTitleBarGrip / 2, 1));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        frame.moveTopLeft(titleBarInside(frame, screen->availableGeometry()));
    m_window.showNormal();
    // After showing, which may widen the window for its side panel.
    m_window.resize(size);
    // The frame goes there, also while the window manager has not yet framed a window just shown
    // (start-up), where move() would put the client area there instead.
    m_window.windowHandle()->setFramePosition(frame.topLeft());

    const QRect area = m_windows.executionChild.mdiArea()->viewport()->rect();
    const auto place = [&area](QMdiSubWindow *child, int left, int top) {
        const QRect childFrame(QPoint(left, top), child->size());
        child->move(titleBarInside(childFrame, area));
    };
    place(&m_windows.executionChild, toPixels(p.exeLeft, d), toPixels(p.exeTop, d));
    place(&m_windows.servoChild, toPixels(p.srvLeft, d), toPixels(p.srvTop, d));
}

int ConfigurationCommands::ExecutionModeIndex() const
{
    return int(m_parts.execution.Mode());
}

void ConfigurationCommands::SetExecutionModeIndex(int index)
{
    m_parts.execution.SetMode(ExecutionMode(index));
}

void ConfigurationCommands::FocusInstructionList()
{
    m_windows.execution.List1()->setFocus();
}

void ConfigurationCommands::Redraw()
{
    m_windows.servoControl.update();
    m_windows.execution.update();
    m_window.update();
}
