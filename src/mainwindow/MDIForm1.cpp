#include "mainwindow/MDIForm1.h"

#include "app/ProgramPropertyStore.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "export/frmExportPBASIC.h"
#include "help/HelpFile.h"
#include "help/HelpViewerHost.h"
#include "help/modHTMLHelp.h"
#include "library/DroppedFiles.h"
#include "library/ScriptCommands.h"
#include "library/ScriptLibrary.h"
#include "link/AllServos.h"
#include "link/EditSerialPorts.h"
#include "link/LinkSession.h"
#include "mainwindow/ConfigurationCommands.h"
#include "mainwindow/EditCommands.h"
#include "mainwindow/FileMenu.h"
#include "mainwindow/FocusCycle.h"
#include "mainwindow/JawCommand.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SidePanel.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/ScreenFit.h"
#include "platform/WebAddress.h"
#include "platform/frmAbout.h"
#include "platform/mShellExecute.h"
#include "program/FileCommands.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"
#include "servos/RecordBar.h"
#include "servos/TakeRecorder.h"
#include "servos/frmServoControl.h"
#include "servos/frmServoEdit.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineExport.h"
#include "timeline/TimelineView.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcutEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

const QString kCaption = QStringLiteral("Taveloq v1.1");
// Help > On the Web: the makers' site, a hobby site and the co-makers' site.
const QString kHobbySite = QStringLiteral("https://sparvane.example.org");
const QString kCoMakerSite = QStringLiteral("https://ondrake.example.org");

// A child window without a Close command: title, minimise and maximise only.
QMdiSubWindow *addChild(QMdiArea *area, QWidget *window)
{
    QMdiSubWindow *child = area->addSubWindow(window, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                          Qt::WindowMinMaxButtonsHint);
    child->setWindowTitle(window->windowTitle());
    child->setWindowIcon(window->windowIcon());
    child->setOption(QMdiSubWindow::RubberBandResize, false);
    return child;
}

} // namespace

MDIForm1::MDIForm1(const MainWindowParts &parts, QWidget *parent)
    : QMainWindow(parent)
    , m_parts(parts)
    , m_cells(new PropertyGridModel(parts.properties, parts.session, parts.listing, this))
    , m_actions(new MainActions(*this))
    , m_side(new SidePanel(*m_cells, kCaption, this))
    , m_childArea(new QMdiArea(this))
    , m_servoControl(new frmServoControl(parts.servos, parts.listing, parts.properties, parts.session.Link()))
    , m_execution(new frmExecution(parts.execution))
    , m_servoChild(addChild(m_childArea, m_servoControl))
    , m_executionChild(addChild(m_childArea, m_execution))
    , m_edits(new EditCommands(*m_actions, parts.listing, *m_execution, *m_servoControl, parts.servos, parts.properties,
                               *this))
    , m_help(std::make_unique<HelpViewerHost>(this))
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(kCaption + QStringLiteral("[*]"));
    setWindowIcon(MainActions::Image(7));

    m_childArea->setObjectName(QStringLiteral("childArea"));
    m_childArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_childArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_servoControl->SetScriptsMenu(m_actions->ScriptsMenu());
    new ScriptCommands(*m_actions->ScriptsMenu(), *m_servoControl->File1(), parts.servos, parts.commands, this);
    m_servoChild->hide();
    m_executionChild->hide();

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_childArea, 1);
    row->addWidget(m_side);
    setCentralWidget(central);

    auto *timeline = new TimelineDock(parts.listing, parts.properties, parts.servos, this);
    timeline->View().FollowRuns(parts.execution);
    addDockWidget(Qt::BottomDockWidgetArea, timeline);
    timeline->hide();
    connect(MenuItem(QStringLiteral("miTimeline")), &QAction::triggered, timeline, &QWidget::setVisible);
    new JawCommand(*m_actions, parts.listing, parts.properties, parts.servos, *timeline, *this);
    connect(timeline->toggleViewAction(), &QAction::toggled, MenuItem(QStringLiteral("miTimeline")),
            &QAction::setChecked);
    connect(timeline->toggleViewAction(), &QAction::toggled, MenuItem(QStringLiteral("miExportTimeline")),
            &QAction::setEnabled);
    connect(MenuItem(QStringLiteral("miExportTimeline")), &QAction::triggered, timeline,
            [timeline] { TimelineExport::Ask(timeline->View(), TimelineView::Extent::Whole); });

    // The toolbars take the keyboard too; F6 reaches them.
    for (QToolBar *bar : {m_actions->FileBar(), m_actions->ViewBar()}) {
        for (QToolButton *button : bar->findChildren<QToolButton *>())
            button->setFocusPolicy(Qt::TabFocus);
    }
    m_focusCycle = new FocusCycle(*this, [this, timeline]() -> QList<FocusCycle::Part> {
        return {{m_childArea, (m_servoChild->isVisible() ? m_servoChild : m_executionChild)->widget()},
                {timeline, &timeline->View()},
                {m_side->Grid()},
                {m_side, m_side->ButtonsFocus()},
                {m_actions->FileBar()},
                {m_actions->ViewBar()}};
    });

    new FileMenu(*m_actions, parts.files, *this);
    connectCommands();
    connectRecording();
    m_configuration = new ConfigurationCommands(
        parts, {*this, *m_servoControl, *m_servoChild, *m_execution, *m_executionChild,
                *MenuItem(QStringLiteral("miLoadConfiguration")), *MenuItem(QStringLiteral("miSaveConfiguration"))});
    // Alt+letter: menus first, so that no key meant for a menu moves the figure.
    qApp->installEventFilter(this);
    setAcceptDrops(true);
}

MDIForm1::~MDIForm1()
{
    // Focus moves while the widgets below are destroyed; the cycle asks this window for its parts.
    delete m_focusCycle;
    modHTMLHelp::SetViewer(nullptr);
}

QAction *MDIForm1::MenuItem(const QString &name) const
{
    return m_actions->Item(name);
}

void MDIForm1::connectCommands()
{
    const auto on = [this](const char *name, auto handler) {
        connect(MenuItem(QString::fromLatin1(name)), &QAction::triggered, this, handler);
    };
    on("miExit", [this] { close(); });
    on("miServoControl", [this] { cToolbar2_ButtonClick(0); });
    on("miExecution", [this] { cToolbar2_ButtonClick(1); });
    on("miEditServoLabels", [this] {
        Reported(QStringLiteral("0020"), [&] {
            frmServoEdit dialog(m_parts.servos, this);
            dialog.exec();
        });
    });
    on("miExportPBASIC", [this] {
        frmExportPBASIC dialog(m_parts.listing, m_parts.properties, m_parts.servos, m_parts.exportSettings, this);
        dialog.exec();
    });
    on("miSerialPorts", [this] { EditSerialPorts(this); });
    on("tbSave", [this] {
        // Without a file name the button (and Save's key) saves under a new one.
        if (m_parts.commands.CurrentProgramPath().isEmpty())
            m_parts.files.SaveAs();
        else
            m_parts.files.Save();
    });
    on("tbHelp", [this] { cToolbar2_ButtonClick(3); });
    on("miAbout", [this] {
        frmAbout about(this);
        about.exec();
    });
    on("miPellion", [] { mShellExecute::GShell(QLatin1String(kWebAddress)); });
    on("miSparvane", [] { mShellExecute::GShell(kHobbySite); });
    on("miOndrake", [] { mShellExecute::GShell(kCoMakerSite); });
    on("miContents", [] { Reported(QStringLiteral("0015"), &modHTMLHelp::ShowContents); });
    on("miIndex", [] { Reported(QStringLiteral("0024"), &modHTMLHelp::ShowIndex); });
    on("miSearch", [] {
        try {
            modHTMLHelp::ShowSearch();
        } catch (const AppError &) {
            // Search passes over its failures.
        }
    });

    // Save is offered only for a program with a file, also to its key; without
    // one the key goes to the toolbar's Save, which asks for a name.
    connect(&m_parts.commands, &ProgramCommands::currentProgramPathChanged, this, [this](const QString &path) {
        QAction *save = MenuItem(QStringLiteral("miSave"));
        save->setEnabled(!path.isEmpty());
        MenuItem(QStringLiteral("tbSave"))->setShortcuts(path.isEmpty() ? save->shortcuts() : QList<QKeySequence>());
    });

    on("miPropertiesGrid", [this] { m_side->cmdLogo_Click(); });
    connect(m_side, &SidePanel::expandedChanged, MenuItem(QStringLiteral("miPropertiesGrid")), &QAction::setChecked);
    connect(m_side, &SidePanel::centerAllClicked, this, [this] { allServos(&CenterAllServos); });
    connect(m_side, &SidePanel::minAllClicked, this, [this] { allServos(&MinAllServos); });
    connect(m_side, &SidePanel::maxAllClicked, this, [this] { allServos(&MaxAllServos); });

    connect(&m_parts.execution, &ExecutionController::interfaceLocked, this, &MDIForm1::SetInterfaceLocked);
    connect(&m_parts.listing, &ProgramListing::tempFileMissing, this, [this] { cToolbar2_ButtonClick(0); });
}

void MDIForm1::connectRecording()
{
    TakeRecorder &recorder = m_parts.recorder;
    m_servoControl->SetRecorder(recorder);
    QAction *record = MenuItem(QStringLiteral("miRecordTake"));
    QAction *discard = MenuItem(QStringLiteral("miDiscardTake"));
    QAction *save = MenuItem(QStringLiteral("miSaveTakeAsScript"));
    // The status bar shows only while a take is recorded, with the same mark as the Servo Controller.
    auto *mark = new QLabel(statusBar());
    mark->setObjectName(QStringLiteral("lblRecordingStatus"));
    mark->setStyleSheet(QStringLiteral("QLabel { color: #d00000; font-weight: bold; }"));
    statusBar()->addWidget(mark);
    statusBar()->hide();
    const auto refresh = [this, &recorder, record, discard, save] {
        record->setEnabled(recorder.Available());
        record->setChecked(recorder.Recording());
        discard->setEnabled(recorder.Recording());
        save->setEnabled(recorder.HasTake() && !recorder.Recording() && !m_actions->Locked());
        statusBar()->setVisible(recorder.Recording());
    };
    connect(record, &QAction::triggered, this, [&recorder, refresh] {
        recorder.Toggle();
        refresh(); // a refused start leaves the item unchecked
    });
    connect(discard, &QAction::triggered, &recorder, &TakeRecorder::Discard);
    connect(save, &QAction::triggered, this, [this, &recorder] { SaveTakeAsScript(recorder, this); });
    connect(&recorder, &TakeRecorder::stateChanged, this, refresh);
    connect(m_actions, &MainActions::lockedChanged, this, refresh);
    connect(&recorder, &TakeRecorder::elapsedChanged, mark,
            [mark](qint64 ms) { mark->setText(QStringLiteral("Recording a take ") + RecordingMarkText(ms)); });
    refresh();
}

void MDIForm1::Load()
{
    Reported(QStringLiteral("0009"), [&] {
        setWindowTitle(kCaption + QStringLiteral("[*]"));
        // Without a help file the Help menu names the one it expected beside the program.
        const QString helpFile = FindHelpFile();
        modHTMLHelp::SetHelpFile(
            helpFile.isEmpty() ? QCoreApplication::applicationDirPath() + QLatin1Char('/') + kHelpFileName : helpFile);
        modHTMLHelp::SetViewer(m_help.get());
        MenuItem(QStringLiteral("miServoControl"))->setChecked(true);
        m_side->Load();
        m_side->Grid()->SetDialogOwner(this, m_side);
        m_servoControl->Load();
        m_servoChild->move(0, 0);
        m_servoChild->adjustSize();
        m_servoChild->showNormal();
        m_executionChild->move(0, 0);
        m_executionChild->adjustSize();
        m_executionChild->hide();
        if (!m_parts.session.OpenAtStartUp())
            return;
        m_configuration->LoadAtStartUp();
    });
}

void MDIForm1::showView(int index)
{
    const bool execution = index == 1;
    MenuItem(execution ? QStringLiteral("miExecution") : QStringLiteral("miServoControl"))->setChecked(true);
    QMdiSubWindow *shown = execution ? m_executionChild : m_servoChild;
    (execution ? m_servoChild : m_executionChild)->hide();
    shown->showNormal();
    m_childArea->setActiveSubWindow(shown);
    if (execution)
        m_parts.listing.Update();
}

void MDIForm1::cToolbar2_ButtonClick(int index)
{
    Reported(QStringLiteral("0008"), [&] {
        if (index == 0 || index == 1)
            showView(index);
        else if (index == 3)
            MenuItem(QStringLiteral("miContents"))->trigger();
    });
}

void MDIForm1::allServos(void (*operation)(ServoLink &, const ProgramProperties &, IServoSliders &))
{
    // The operations report their own failures with the button's routine code.
    operation(m_parts.session.Link(), m_parts.properties.Properties(), *m_servoControl);
}

void MDIForm1::SetInterfaceLocked(bool locked)
{
    m_actions->SetLocked(locked);
    m_side->SetLocked(locked);
    setAcceptDrops(!locked);
}

bool MDIForm1::eventFilter(QObject *watched, QEvent *event)
{
    // Every Alt+letter of a button or menu of this window is decided in one
    // place, whichever of them Qt hands it to.
    if (event->type() == QEvent::Shortcut) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && resolveMnemonic(static_cast<QShortcutEvent *>(event)->key()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MDIForm1::resolveMnemonic(const QKeySequence &key)
{
    // A key that opens a menu never moves the figure: the menu comes first.
    // The all-servo buttons take their letters only while the focus is in
    // the side panel; another button on show (Stop during a run, when the
    // menus are locked) takes a letter no enabled menu has.
    const bool focusInSide = m_side->isAncestorOf(QApplication::focusWidget());
    QAbstractButton *button = nullptr;
    for (QAbstractButton *b : findChildren<QAbstractButton *>()) {
        if (b->window() == this && b->isVisible() && QKeySequence::mnemonic(b->text()) == key)
            button = b;
    }
    QAction *menu = nullptr;
    for (QAction *m : menuBar()->actions()) {
        if (m->isVisible() && QKeySequence::mnemonic(m->text()) == key)
            menu = m;
    }
    const bool sideButton = button && m_side->isAncestorOf(button);
    if (button && button->isEnabled() && (sideButton ? focusInSide : !(menu && menu->isEnabled()))) {
        button->click();
    } else if (menu && menu->isEnabled()) {
        menuBar()->setActiveAction(menu);
    }
    // A letter of a disabled menu or button, or of a side panel button from
    // elsewhere, does nothing.
    return button || menu;
}

void MDIForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (std::exchange(m_shownOnce, true))
        return;
    // A side panel widened for its font takes the room from the window, not
    // from the child area the Servo Controller was designed for.
    if (const int extra = m_side->ExtraWidth(); extra > 0)
        resize(width() + extra, height());
    ScreenFit::Fit(*this);
}

void MDIForm1::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void MDIForm1::dragMoveEvent(QDragMoveEvent *event)
{
    // Always a copy: a move would have the file manager delete the files.
    if (acceptDrops() && event->mimeData()->hasUrls() && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void MDIForm1::dropEvent(QDropEvent *event)
{
    if (!acceptDrops() || !event->mimeData()->hasUrls() || !(event->possibleActions() & Qt::CopyAction))
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Taken once the drop has ended, so that no question keeps the file manager waiting.
    QMetaObject::invokeMethod(
        this, [this, urls = event->mimeData()->urls()] { TakeDroppedFiles(urls, m_parts.files, m_parts.listing); },
        Qt::QueuedConnection);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    // A take being recorded goes into the program first, so that the save question covers it.
    m_parts.recorder.Stop();
    if (!m_parts.files.QueryClose()) {
        event->ignore();
        return;
    }
    Q_EMIT closing();
    event->accept();
}
