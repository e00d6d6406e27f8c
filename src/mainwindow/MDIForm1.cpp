#include "mainwindow/MDIForm1.h"

#include "app/AppComponents.h"
#include "app/AppState.h"
#include "app/StartUp.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "link/AllServos.h"
#include "link/PortStartUp.h"
#include "link/ServoLink.h"
#include "link/frmSerialPorts.h"
#include "mainwindow/LogoStrip.h"
#include "mainwindow/PropertyGridModel.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "mainwindow/grid/sGrid.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "servos/frmServoControl.h"
#include "servos/frmServoEdit.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QToolBar>
#include <QVBoxLayout>

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

const QString kCaption = QStringLiteral("Taveloq v1.1");

// The image list: index -> file stem under icons/16 and icons/32.
const char *const kImages[] = {
    "00-new",
    "01-open",
    "02-save",
    "03-load-scripts",
    "04-save-as-script",
    "05-load-configuration",
    "06-save-configuration",
    "07-servo-controller",
    "08-execution-controller",
    "09-help",
    "10-contents",
    "11-search",
    "12-on-the-web",
    "13-co-maker-site",
    "14-about",
    "15-remove",
    "16-insert-pause",
    "17-insert-script",
    "18-maker-site",
    "19-insert-mov",
    "20-insert-wav",
    "21-export",
};

QIcon ImageList1(int index)
{
    QIcon icon;
    const QString stem = QString::fromLatin1(kImages[index]);
    icon.addFile(QStringLiteral(":/mainwindow/icons/16/") + stem + QStringLiteral(".png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/mainwindow/icons/32/") + stem + QStringLiteral(".png"), QSize(32, 32));
    return icon;
}

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

MDIForm1::MDIForm1(QWidget *parent)
    : QMainWindow(parent)
{
    initIconResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(kCaption);
    setWindowIcon(ImageList1(7));
    buildMenus();
    buildToolbars();
    buildSidePanel();
    buildChildArea();
}

MDIForm1::~MDIForm1()
{
    // File readers must not reach a grid panel that is gone.
    if (m_gridPanel && Components().grid == m_gridPanel)
        Components().grid = m_grid;
}

int MDIForm1::twipsX(int twips) const
{
    return qRound(twips * logicalDpiX() / 1440.0);
}

int MDIForm1::ExpandedPanelWidth() const
{
    // As designed, or wider by what the grid needs beyond its designed width for its font.
    const int designed = twipsX(3375);
    if (!m_gridPanel)
        return designed;
    return qMax(designed, designed - twipsX(PropertyGridPanel::kGridWidthTwips) + m_gridPanel->width());
}

QAction *MDIForm1::addItem(QMenu *menu, const char *name, const QString &caption, int image)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (image >= 0)
        a->setIcon(ImageList1(image));
    return a;
}

QAction *MDIForm1::MenuItem(const QString &name) const
{
    return findChild<QAction *>(name);
}

void MDIForm1::buildMenus()
{
    QMenuBar *bar = menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("miFile"));
    file->menuAction()->setObjectName(QStringLiteral("miFile"));
    addItem(file, "miNew", QStringLiteral("&New"), 0);
    addItem(file, "miOpen", QStringLiteral("&Open..."), 1);
    addItem(file, "miSave", QStringLiteral("&Save"), 2)->setEnabled(false);
    addItem(file, "miSaveAs", QStringLiteral("Save &As..."));
    file->addSeparator()->setObjectName(QStringLiteral("miLN9"));
    QMenu *exportMenu = file->addMenu(QStringLiteral("&Export"));
    exportMenu->menuAction()->setObjectName(QStringLiteral("miExport"));
    addItem(exportMenu, "miExportPBASIC", QStringLiteral("As &Basic..."), 21);
    file->addSeparator()->setObjectName(QStringLiteral("miLN1"));
    for (int i = 1; i <= 4; ++i) {
        QAction *mru = file->addAction(QStringLiteral("MRU"));
        mru->setObjectName(QStringLiteral("miMRU") + QString::number(i));
        mru->setVisible(false);
    }
    QAction *mruSep = file->addSeparator();
    mruSep->setObjectName(QStringLiteral("miMRUSep"));
    mruSep->setVisible(false);
    QAction *exit = addItem(file, "miExit", QStringLiteral("E&xit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(file, &QMenu::aboutToShow, this, &MDIForm1::miFile_Open);

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->menuAction()->setObjectName(QStringLiteral("miView"));
    QAction *servo = addItem(view, "miServoControl", QStringLiteral("&Servo Control Window"), 7);
    servo->setShortcut(Qt::Key_F3);
    servo->setCheckable(true);
    servo->setChecked(true);
    QAction *exec = addItem(view, "miExecution", QStringLiteral("&Execution Window"), 8);
    exec->setShortcut(Qt::Key_F4);
    exec->setCheckable(true);
    // A checked icon is only a faint frame; without it the menu shows a plain check mark.
    for (QAction *a : {servo, exec})
        a->setIconVisibleInMenu(false);
    connect(servo, &QAction::triggered, this, &MDIForm1::miServoControl_Click);
    connect(exec, &QAction::triggered, this, &MDIForm1::miExecution_Click);

    m_miScripts = bar->addMenu(QStringLiteral("&Scripts"));
    m_miScripts->menuAction()->setObjectName(QStringLiteral("miScripts"));
    addItem(m_miScripts, "miLoadScript", QStringLiteral("&Load Script(s)..."), 3);
    addItem(m_miScripts, "miSaveAsScript", QStringLiteral("&Save As Script..."), 4);
    m_miScripts->addSeparator()->setObjectName(QStringLiteral("miSelectedScriptLN"));
    addItem(m_miScripts, "miInsSelScript", QStringLiteral("&Insert Selected Script"));
    addItem(m_miScripts, "miRemoveSelScript", QStringLiteral("&Remove Selected Script"), 15);
    m_miScripts->addSeparator()->setObjectName(QStringLiteral("miLN8"));
    addItem(m_miScripts, "miRemoveAllScripts", QStringLiteral("&Remove All Scripts"));

    QMenu *config = bar->addMenu(QStringLiteral("&Configuration"));
    config->menuAction()->setObjectName(QStringLiteral("miConfiguration"));
    addItem(config, "miLoadConfiguration", QStringLiteral("&Load Configuration..."), 5);
    addItem(config, "miSaveConfiguration", QStringLiteral("&Save Configuration As..."), 6);

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->menuAction()->setObjectName(QStringLiteral("miOptions"));
    QAction *labels = addItem(options, "miEditServoLabels", QStringLiteral("&Edit Servo Labels..."));
    connect(labels, &QAction::triggered, this, &MDIForm1::miEditServoLabels_Click);
    // Which device each Comm Port number stands for on this computer.
    QAction *ports = addItem(options, "miSerialPorts", QStringLiteral("Serial &Ports..."));
    connect(ports, &QAction::triggered, this, [this] { frmSerialPorts::EditMapping(this); });

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setObjectName(QStringLiteral("niHelp"));
    addItem(help, "miContents", QStringLiteral("&Contents..."), 10)->setShortcut(Qt::Key_F1);
    addItem(help, "miIndex", QStringLiteral("&Index..."));
    addItem(help, "miSearch", QStringLiteral("&Search..."), 11);
    help->addSeparator()->setObjectName(QStringLiteral("miLN3"));
    QMenu *web = help->addMenu(ImageList1(12), QStringLiteral("&On the Web"));
    web->menuAction()->setObjectName(QStringLiteral("miOnTheWeb"));
    addItem(web, "miPellion", QStringLiteral("Pellion"), 18);
    addItem(web, "miSparvane", QStringLiteral("Sparvane"));
    addItem(web, "miOndrake", QStringLiteral("Ondrake"), 13);
    help->addSeparator()->setObjectName(QStringLiteral("miLN5"));
    addItem(help, "miAbout", QStringLiteral("&About Taveloq..."), 14);

    // Serves only as the Execution Controller list's popup; it offers nothing in the bar.
    m_miExecEdit = bar->addMenu(QString());
    m_miExecEdit->setObjectName(QStringLiteral("miExecEdit"));
    m_miExecEdit->menuAction()->setObjectName(QStringLiteral("miExecEdit"));
    m_miExecEdit->menuAction()->setVisible(false);
    m_miExecEdit->setProperty("Tag", QString());
    addItem(m_miExecEdit, "miEditMovInstruction", QStringLiteral("Edit Mov Instruction..."));
    addItem(m_miExecEdit, "miEditPauseInstruction", QStringLiteral("Edit Pause Instruction..."));
    addItem(m_miExecEdit, "miEditScriptInstruction", QStringLiteral("Edit Script Instruction..."));
    addItem(m_miExecEdit, "miEditWAV", QStringLiteral("Edit &WAV..."));
    m_miExecEdit->addSeparator()->setObjectName(QStringLiteral("miLN6"));
    QMenu *insert = m_miExecEdit->addMenu(QStringLiteral("&Insert"));
    insert->menuAction()->setObjectName(QStringLiteral("miInsert"));
    addItem(insert, "miInsertMov", QStringLiteral("Insert &Mov..."), 19);
    addItem(insert, "miInsPause", QStringLiteral("Insert &Pause..."), 16);
    addItem(insert, "miInsertScript", QStringLiteral("Insert &Script..."), 17);
    addItem(insert, "miInsertWav", QStringLiteral("Insert &WAV..."), 20);
    m_miExecEdit->addSeparator()->setObjectName(QStringLiteral("miLN7"));
    addItem(m_miExecEdit, "miDeleteInstruction", QStringLiteral("Delete Instruction"), 15);
}

void MDIForm1::buildToolbars()
{
    const auto button = [](QToolBar *bar, const char *name, const QString &tip, int image) {
        QAction *a = bar->addAction(ImageList1(image), tip);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(tip);
        return a;
    };

    m_fileBar = addToolBar(QStringLiteral("File"));
    m_fileBar->setObjectName(QStringLiteral("cToolBar1"));
    button(m_fileBar, "tbNew", QStringLiteral("New"), 0);
    button(m_fileBar, "tbOpen", QStringLiteral("Open"), 1);
    button(m_fileBar, "tbSave", QStringLiteral("Save"), 2);
    m_fileBar->addSeparator();
    button(m_fileBar, "tbLoadScripts", QStringLiteral("Load Scripts"), 3);
    button(m_fileBar, "tbSaveAsScript", QStringLiteral("Save As Script"), 4);
    m_fileBar->addSeparator();
    button(m_fileBar, "tbLoadConfiguration", QStringLiteral("Load Configuration"), 5);
    button(m_fileBar, "tbSaveConfiguration", QStringLiteral("Save Configuration"), 6);
    connect(m_fileBar, &QToolBar::actionTriggered, this,
            [this](QAction *a) { cToolBar1_ButtonClick(int(m_fileBar->actions().indexOf(a))); });

    m_viewBar = addToolBar(QStringLiteral("View"));
    m_viewBar->setObjectName(QStringLiteral("cToolbar2"));
    m_viewGroup = new QActionGroup(this);
    m_viewGroup->setExclusive(true);
    QAction *servo = button(m_viewBar, "tbServoController", QStringLiteral("Servo Controller"), 7);
    QAction *exec = button(m_viewBar, "tbExecutionController", QStringLiteral("Execution Controller"), 8);
    for (QAction *a : {servo, exec}) {
        a->setCheckable(true);
        m_viewGroup->addAction(a);
    }
    servo->setChecked(true);
    m_viewBar->addSeparator();
    button(m_viewBar, "tbHelp", QStringLiteral("Help"), 9);
    m_viewBar->addSeparator();
    connect(m_viewBar, &QToolBar::actionTriggered, this,
            [this](QAction *a) { cToolbar2_ButtonClick(int(m_viewBar->actions().indexOf(a))); });

    for (QToolBar *bar : {m_fileBar, m_viewBar}) {
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setMovable(false);
        bar->setFloatable(false);
    }
}

void MDIForm1::buildSidePanel()
{
    m_sidePanel = new QWidget(this);
    m_sidePanel->setObjectName(QStringLiteral("Picture1"));
    m_sidePanel->setFixedWidth(ExpandedPanelWidth());

    m_logo = new LogoStrip(m_sidePanel);
    m_logo->SetCaption(kCaption);
    m_logo->setFixedWidth(twipsX(255));
    m_cmdLogo = new QPushButton(QStringLiteral(">"), m_logo);
    m_cmdLogo->setObjectName(QStringLiteral("cmdLogo"));
    m_cmdLogo->setToolTip(QStringLiteral("Hide/Show Properties Grid."));
    m_cmdLogo->setGeometry(0, 0, twipsX(255), twipsX(255));
    m_cmdLogo->setFocusPolicy(Qt::NoFocus);
    connect(m_cmdLogo, &QPushButton::clicked, this, &MDIForm1::cmdLogo_Click);

    m_panelContent = new QWidget(m_sidePanel);
    m_gridLabel = new QLabel(QStringLiteral("Properties Grid:"), m_panelContent);
    m_gridLabel->setObjectName(QStringLiteral("Label1"));
    // The property grid's place; the grid itself comes with its own window code.
    m_gridPlace = new QFrame(m_panelContent);
    m_gridPlace->setObjectName(QStringLiteral("sGrid"));
    m_gridPlace->setFrameShape(QFrame::StyledPanel);
    m_gridPlace->setFrameShadow(QFrame::Plain);
    m_gridPlace->setMinimumHeight(twipsX(1200));
    m_gridPlace->setMaximumHeight(twipsX(4080));

    m_centerAll = new QPushButton(QStringLiteral("&Center All Servos"), m_panelContent);
    m_centerAll->setObjectName(QStringLiteral("cmdCenterAll"));
    m_centerAll->setToolTip(QStringLiteral("Center All Servos"));
    m_minAll = new QPushButton(QStringLiteral("&Min All Servos"), m_panelContent);
    m_minAll->setObjectName(QStringLiteral("cmdMinAll"));
    m_minAll->setToolTip(QStringLiteral("Min All Servos."));
    m_maxAll = new QPushButton(QStringLiteral("Ma&x All Servos"), m_panelContent);
    m_maxAll->setObjectName(QStringLiteral("cmdMaxAll"));
    m_maxAll->setToolTip(QStringLiteral("Max All Servos"));
    connect(m_centerAll, &QPushButton::clicked, this, [this] { allServos(&CenterAllServos); });
    connect(m_minAll, &QPushButton::clicked, this, [this] { allServos(&MinAllServos); });
    connect(m_maxAll, &QPushButton::clicked, this, [this] { allServos(&MaxAllServos); });

    auto *content = new QVBoxLayout(m_panelContent);
    content->setContentsMargins(twipsX(480 - 255), twipsX(120), twipsX(240), twipsX(120));
    content->setSpacing(twipsX(60));
    content->addWidget(m_gridLabel);
    content->addWidget(m_gridPlace, 1);
    content->addSpacing(twipsX(120));
    for (QPushButton *b : {m_centerAll, m_minAll, m_maxAll}) {
        b->setAutoDefault(false);
        content->addWidget(b);
    }
    content->addStretch(0);

    auto *row = new QHBoxLayout(m_sidePanel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_logo);
    row->addWidget(m_panelContent, 1);
}

void MDIForm1::buildChildArea()
{
    m_childArea = new QMdiArea(this);
    m_childArea->setObjectName(QStringLiteral("childArea"));
    m_childArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_childArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    m_servoControl = new frmServoControl;
    m_servoControl->SetScriptsMenu(m_miScripts);
    m_servoChild = addChild(m_childArea, m_servoControl);
    m_servoChild->hide();

    // Until the Execution Controller window is handed over, an empty child keeps its place.
    auto *placeholder = new QWidget;
    placeholder->setObjectName(QStringLiteral("frmExecution"));
    placeholder->setWindowTitle(QStringLiteral("Execution Controller"));
    placeholder->resize(480, 360);
    m_execution = placeholder;
    m_executionChild = addChild(m_childArea, placeholder);
    m_executionChild->hide();

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(m_childArea, 1);
    row->addWidget(m_sidePanel);
    setCentralWidget(central);
}

void MDIForm1::SetLink(ServoLink *link, PropertyGridModel *grid)
{
    m_link = link;
    m_grid = grid;
    m_servoControl->SetLink(link);
    if (grid && !m_gridPanel) {
        // The grid shows the application's cells; it takes the place kept for it.
        m_gridPanel = new PropertyGridPanel(*grid, m_panelContent);
        m_gridPanel->setObjectName(QStringLiteral("sGrid"));
        QLayout *content = m_panelContent->layout();
        content->replaceWidget(m_gridPlace, m_gridPanel);
        content->setAlignment(m_gridPanel, Qt::AlignLeft | Qt::AlignTop);
        delete m_gridPlace;
        m_gridPlace = nullptr;
    }
}

void MDIForm1::SetExecutionWindow(QWidget *window)
{
    const bool shown = m_executionChild->isVisible();
    m_childArea->removeSubWindow(m_executionChild);
    delete m_executionChild;
    m_execution = window;
    m_executionChild = addChild(m_childArea, window);
    m_executionChild->setVisible(shown);
}

void MDIForm1::ShowExecEditPopup(int line, const QPoint &globalPos)
{
    const IExecutionList *list = Components().execution;
    const QStringList items = list ? list->ListItems() : QStringList();
    if (line < 0 || line >= items.size())
        return;
    const ExecutionController::EditItem kind = ExecutionController::EditItemFor(items.at(line));
    if (kind != ExecutionController::EditItem::Unchanged) {
        MenuItem(QStringLiteral("miEditMovInstruction"))->setVisible(kind == ExecutionController::EditItem::Mov);
        MenuItem(QStringLiteral("miEditPauseInstruction"))->setVisible(kind == ExecutionController::EditItem::Pause);
        MenuItem(QStringLiteral("miEditScriptInstruction"))->setVisible(kind == ExecutionController::EditItem::Script);
        MenuItem(QStringLiteral("miEditWAV"))->setVisible(kind == ExecutionController::EditItem::Wav);
        MenuItem(QStringLiteral("miDeleteInstruction"))->setVisible(true);
        MenuItem(QStringLiteral("miLN6"))->setVisible(true);
    }
    // Inserting needs a selected line to insert at.
    const auto *window = qobject_cast<const frmExecution *>(m_execution);
    MenuItem(QStringLiteral("miInsert"))->setEnabled(window && !window->List1()->selectedItems().isEmpty());
    m_miExecEdit->setProperty("Tag", QString::number(line));
    m_miExecEdit->popup(globalPos);
}

void MDIForm1::Load()
{
    try {
        setWindowTitle(kCaption);
        m_viewGroup->actions().constFirst()->setChecked(true);
        if (m_gridPanel) {
            m_gridPanel->Load();
            m_sidePanel->setFixedWidth(ExpandedPanelWidth());
            m_gridPanel->SetDialogOwner(this, m_sidePanel);
            if (m_link)
                m_gridPanel->SetLink(*m_link);
            Components().grid = m_gridPanel;
        }
        m_servoControl->Load();
        m_servoChild->move(0, 0);
        m_servoChild->adjustSize();
        m_servoChild->showNormal();
        m_executionChild->move(0, 0);
        m_executionChild->adjustSize();
        m_executionChild->hide();
        if (m_link && m_grid && !OpenPortAtStartUp(*m_link, *m_grid))
            return;
        // The start-up configuration is applied here once configurations exist.
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0009"), e);
    }
}

void MDIForm1::showServoControl()
{
    MenuItem(QStringLiteral("miExecution"))->setChecked(false);
    MenuItem(QStringLiteral("miServoControl"))->setChecked(true);
    m_executionChild->hide();
    m_servoChild->showNormal();
    m_childArea->setActiveSubWindow(m_servoChild);
}

void MDIForm1::showExecution()
{
    MenuItem(QStringLiteral("miServoControl"))->setChecked(false);
    MenuItem(QStringLiteral("miExecution"))->setChecked(true);
    m_servoChild->hide();
    m_executionChild->showNormal();
    m_childArea->setActiveSubWindow(m_executionChild);
    if (IExecutionList *list = Components().execution)
        list->Update();
}

void MDIForm1::cToolbar2_ButtonClick(int index)
{
    try {
        switch (index) {
        case 0:
            showServoControl();
            break;
        case 1:
            showExecution();
            break;
        case 3:
            MenuItem(QStringLiteral("miContents"))->trigger();
            break;
        default:
            break;
        }
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0008"), e);
    }
}

void MDIForm1::cToolBar1_ButtonClick(int index)
{
    try {
        const char *target = nullptr;
        switch (index) {
        case 0:
            target = "miNew";
            break;
        case 1:
            target = "miOpen";
            break;
        case 2:
            // Without a file name Save is disabled and the button saves under a new one.
            target = MenuItem(QStringLiteral("miSave"))->isEnabled() ? "miSave" : "miSaveAs";
            break;
        case 4:
            target = "miLoadScript";
            break;
        case 5:
            target = "miSaveAsScript";
            break;
        case 7:
            target = "miLoadConfiguration";
            break;
        case 8:
            target = "miSaveConfiguration";
            break;
        default:
            return;
        }
        MenuItem(QString::fromLatin1(target))->trigger();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0007"), e);
    }
}

void MDIForm1::miServoControl_Click()
{
    try {
        m_viewGroup->actions().at(0)->setChecked(true);
        cToolbar2_ButtonClick(0);
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0042"), e);
    }
}

void MDIForm1::miExecution_Click()
{
    try {
        m_viewGroup->actions().at(1)->setChecked(true);
        cToolbar2_ButtonClick(1);
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0021"), e);
    }
}

void MDIForm1::miFile_Open()
{
    MenuItem(QStringLiteral("miSave"))->setEnabled(!App().CurrentProgramPath.isEmpty());
}

void MDIForm1::miEditServoLabels_Click()
{
    try {
        frmServoEdit dialog(*m_servoControl, this);
        dialog.exec();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0020"), e);
    }
}

void MDIForm1::cmdLogo_Click()
{
    try {
        const int strip = m_logo->width();
        const bool expanded = m_sidePanel->maximumWidth() != strip;
        if (expanded) {
            m_panelContent->hide();
            m_sidePanel->setFixedWidth(strip);
            m_cmdLogo->setText(QStringLiteral("<"));
        } else {
            m_sidePanel->setFixedWidth(ExpandedPanelWidth());
            m_panelContent->show();
            m_cmdLogo->setText(QStringLiteral(">"));
        }
        update();
    } catch (const AppError &e) {
        ErrorReport(QStringLiteral("0003"), e);
    }
}

void MDIForm1::allServos(void (*operation)(ServoLink &, IServoSliders &))
{
    // The operations report their own failures with the button's routine code.
    if (m_link)
        operation(*m_link, *m_servoControl);
}

bool MDIForm1::PortOpen() const
{
    return m_link && m_link->PortOpen();
}

void MDIForm1::GoOnline()
{
    if (!m_link || !m_grid)
        throw AppError::invalidArgument();
    m_grid->SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Online"));
    // Shown at once: when the port then fails to open, no run locks (and repaints) the grid.
    if (m_gridPanel)
        m_gridPanel->Grid()->RefreshGrid();
    m_link->Open();
}

QString MDIForm1::CenterOnExecution() const
{
    return m_grid ? m_grid->CellText(PropertyGridModel::CenterOnExecution, 2) : QStringLiteral("True");
}

std::unique_ptr<IFrameSink> MDIForm1::CreateRunFrameSink()
{
    return m_link ? m_link->PlaybackSink() : nullptr;
}

void MDIForm1::SetInterfaceLocked(bool locked)
{
    const bool enabled = !locked;
    if (m_gridPanel)
        m_gridPanel->setEnabled(enabled);
    for (QToolBar *bar : {m_fileBar, m_viewBar}) {
        for (QAction *a : bar->actions())
            a->setEnabled(enabled);
    }
    for (const char *menu : {"miFile", "miView", "miScripts", "miConfiguration", "miOptions"}) {
        for (QAction *a : findChildren<QAction *>(QString::fromLatin1(menu)))
            a->setEnabled(enabled);
    }
    // Their shortcuts must not switch the view while a program runs.
    MenuItem(QStringLiteral("miServoControl"))->setEnabled(enabled);
    MenuItem(QStringLiteral("miExecution"))->setEnabled(enabled);
    for (QPushButton *b : {m_centerAll, m_minAll, m_maxAll})
        b->setEnabled(enabled);
}

void MDIForm1::ShowServoControllerView()
{
    miServoControl_Click();
}

void MDIForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // A side panel widened for its font takes the room from the window, not
    // from the child area the Servo Controller was designed for.
    const int extra = ExpandedPanelWidth() - twipsX(3375);
    if (extra > 0)
        resize(width() + extra, height());
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    ShutdownQueryUnload();
    event->accept();
}
