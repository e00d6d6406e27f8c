#include "mainwindow/MainActions.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

#include <tuple>

static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

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

// The menus a run locks, by their menu action's name.
const char *const kLockedMenus[] = {"miFile", "miEdit", "miView", "miScripts", "miConfiguration", "miOptions"};

// The Edit menu, in order; nullptr is a separator.
struct EditItem
{
    const char *name;
    const char *caption;
    QList<QKeySequence> keys;
};
const EditItem kEditItems[] = {
    {"miUndo", "&Undo", {Qt::CTRL | Qt::Key_Z}},
    {"miRedo", "&Redo", {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y}},
    {nullptr, nullptr, {}},
    {"miCut", "Cu&t", {Qt::CTRL | Qt::Key_X}},
    {"miCopy", "&Copy", {Qt::CTRL | Qt::Key_C}},
    {"miPaste", "&Paste", {Qt::CTRL | Qt::Key_V}},
    {"miDelete", "&Delete", {Qt::Key_Delete}},
    {nullptr, nullptr, {}},
    {"miSelectAll", "Select &All", {Qt::CTRL | Qt::Key_A}},
    {nullptr, nullptr, {}},
    {"miMoveUp", "Move &Up", {Qt::ALT | Qt::Key_Up}},
    {"miMoveDown", "Move Do&wn", {Qt::ALT | Qt::Key_Down}},
};

} // namespace

QIcon MainActions::Image(int index)
{
    initIconResources();
    QIcon icon;
    const QString stem = QString::fromLatin1(kImages[index]);
    icon.addFile(QStringLiteral(":/mainwindow/icons/16/") + stem + QStringLiteral(".png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/mainwindow/icons/32/") + stem + QStringLiteral(".png"), QSize(32, 32));
    return icon;
}

MainActions::MainActions(QMainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    buildMenus();
    buildToolbars();
}

QAction *MainActions::Item(const QString &name) const
{
    return m_window.findChild<QAction *>(name);
}

QAction *MainActions::addItem(QMenu *menu, const char *name, const QString &caption, int image)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (image >= 0)
        a->setIcon(Image(image));
    return a;
}

void MainActions::buildMenus()
{
    QMenuBar *bar = m_window.menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("miFile"));
    file->menuAction()->setObjectName(QStringLiteral("miFile"));
    addItem(file, "miNew", QStringLiteral("&New"), 0)->setToolTip(QStringLiteral("New"));
    addItem(file, "miOpen", QStringLiteral("&Open..."), 1)->setToolTip(QStringLiteral("Open"));
    addItem(file, "miSave", QStringLiteral("&Save"), 2)->setEnabled(false);
    addItem(file, "miSaveAs", QStringLiteral("Save &As..."));
    file->addSeparator()->setObjectName(QStringLiteral("miLN9"));
    QMenu *exportMenu = file->addMenu(QStringLiteral("&Export"));
    exportMenu->menuAction()->setObjectName(QStringLiteral("miExport"));
    addItem(exportMenu, "miExportPBASIC", QStringLiteral("As &Basic..."), 21);
    // Offered while the timeline is shown: the picture is of what it shows.
    addItem(exportMenu, "miExportTimeline", QStringLiteral("As &Timeline Picture..."))->setEnabled(false);
    file->addSeparator()->setObjectName(QStringLiteral("miLN1"));
    for (int i = 1; i <= 4; ++i) {
        QAction *mru = file->addAction(QStringLiteral("MRU"));
        mru->setObjectName(QStringLiteral("miMRU") + QString::number(i));
        mru->setVisible(false);
    }
    QAction *mruSep = file->addSeparator();
    mruSep->setObjectName(QStringLiteral("miMRUSep"));
    mruSep->setVisible(false);
    addItem(file, "miExit", QStringLiteral("E&xit"));
    // The desktop's keys for the file commands; where the platform's scheme has
    // none (Save As and Quit outside GNOME and KDE), the common ones.
    const std::tuple<const char *, QKeySequence::StandardKey, QKeyCombination> keys[] = {
        {"miNew", QKeySequence::New, Qt::CTRL | Qt::Key_N},
        {"miOpen", QKeySequence::Open, Qt::CTRL | Qt::Key_O},
        {"miSave", QKeySequence::Save, Qt::CTRL | Qt::Key_S},
        {"miSaveAs", QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S},
        {"miExit", QKeySequence::Quit, Qt::CTRL | Qt::Key_Q}};
    for (const auto &[name, key, common] : keys) {
        QAction *a = Item(QString::fromLatin1(name));
        const QList<QKeySequence> platform = QKeySequence::keyBindings(key);
        a->setShortcuts(platform.isEmpty() ? QList<QKeySequence>{common} : platform);
    }

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->menuAction()->setObjectName(QStringLiteral("miEdit"));
    for (const EditItem &e : kEditItems) {
        if (!e.name) {
            edit->addSeparator();
            continue;
        }
        QAction *a = addItem(edit, e.name, QString::fromLatin1(e.caption));
        a->setShortcuts(e.keys);
        // The key of a command that is off is taken all the same: passed on
        // to the focus widget, Alt+Up would move a slider and its servo.
        for (const QKeySequence &key : e.keys) {
            auto *guard = new QShortcut(key, &m_window);
            connect(a, &QAction::enabledChanged, guard, [guard](bool enabled) { guard->setEnabled(!enabled); });
        }
        a->setEnabled(false);
    }
    // Recording: its key starts and stops a take, Escape throws the take away
    // (on only while a take is recorded, so that it takes no key otherwise).
    edit->addSeparator();
    QAction *record = addItem(edit, "miRecordTake", QStringLiteral("&Record Take"));
    record->setCheckable(true);
    record->setShortcut(Qt::CTRL | Qt::Key_R);
    auto *recordGuard = new QShortcut(record->shortcut(), &m_window);
    recordGuard->setEnabled(false);
    connect(record, &QAction::enabledChanged, recordGuard,
            [recordGuard](bool enabled) { recordGuard->setEnabled(!enabled); });
    QAction *discard = addItem(edit, "miDiscardTake", QStringLiteral("Discard Ta&ke"));
    discard->setShortcut(Qt::Key_Escape);
    // Their keys also while a take over the program locks the menus.
    m_window.addAction(record);
    m_window.addAction(discard);
    addItem(edit, "miSaveTakeAsScript", QStringLiteral("Save Take As &Script..."));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->menuAction()->setObjectName(QStringLiteral("miView"));
    m_views = new QActionGroup(this);
    m_views->setExclusive(true);
    QAction *servo = addItem(view, "miServoControl", QStringLiteral("&Servo Control Window"), 7);
    servo->setShortcut(Qt::Key_F3);
    servo->setToolTip(QStringLiteral("Servo Controller"));
    QAction *exec = addItem(view, "miExecution", QStringLiteral("&Execution Window"), 8);
    exec->setShortcut(Qt::Key_F4);
    exec->setToolTip(QStringLiteral("Execution Controller"));
    for (QAction *a : {servo, exec}) {
        a->setCheckable(true);
        // A checked icon is only a faint frame; without it the menu shows a plain check mark.
        a->setIconVisibleInMenu(false);
        m_views->addAction(a);
    }
    servo->setChecked(true);
    // The side panel's collapse button, for the keyboard.
    view->addSeparator();
    QAction *grid = addItem(view, "miPropertiesGrid", QStringLiteral("&Properties Grid"));
    grid->setShortcut(Qt::Key_F7);
    grid->setCheckable(true);
    grid->setChecked(true);
    // Shown beside either window, so outside the group.
    QAction *timeline = addItem(view, "miTimeline", QStringLiteral("&Timeline"));
    timeline->setCheckable(true);
    timeline->setShortcut(Qt::CTRL | Qt::Key_3);

    m_scripts = bar->addMenu(QStringLiteral("&Scripts"));
    m_scripts->menuAction()->setObjectName(QStringLiteral("miScripts"));
    addItem(m_scripts, "miLoadScript", QStringLiteral("&Load Script(s)..."), 3)
        ->setToolTip(QStringLiteral("Load Scripts"));
    addItem(m_scripts, "miSaveAsScript", QStringLiteral("&Save As Script..."), 4)
        ->setToolTip(QStringLiteral("Save As Script"));
    m_scripts->addSeparator()->setObjectName(QStringLiteral("miSelectedScriptLN"));
    addItem(m_scripts, "miInsSelScript", QStringLiteral("&Insert Selected Script"));
    addItem(m_scripts, "miRemoveSelScript", QStringLiteral("&Remove Selected Script"), 15);
    m_scripts->addSeparator()->setObjectName(QStringLiteral("miLN8"));
    addItem(m_scripts, "miRemoveAllScripts", QStringLiteral("&Remove All Scripts"));

    QMenu *config = bar->addMenu(QStringLiteral("&Configuration"));
    config->menuAction()->setObjectName(QStringLiteral("miConfiguration"));
    addItem(config, "miLoadConfiguration", QStringLiteral("&Load Configuration..."), 5)
        ->setToolTip(QStringLiteral("Load Configuration"));
    addItem(config, "miSaveConfiguration", QStringLiteral("&Save Configuration As..."), 6)
        ->setToolTip(QStringLiteral("Save Configuration"));

    QMenu *options = bar->addMenu(QStringLiteral("&Options"));
    options->menuAction()->setObjectName(QStringLiteral("miOptions"));
    addItem(options, "miEditServoLabels", QStringLiteral("&Edit Servo Labels..."));
    // Which device each Comm Port number stands for on this computer.
    addItem(options, "miSerialPorts", QStringLiteral("Serial &Ports..."));
    addItem(options, "miControlSurface", QStringLiteral("&Control Surface..."));

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->menuAction()->setObjectName(QStringLiteral("niHelp"));
    addItem(help, "miContents", QStringLiteral("&Contents..."), 10)->setShortcut(Qt::Key_F1);
    addItem(help, "miIndex", QStringLiteral("&Index..."));
    addItem(help, "miSearch", QStringLiteral("&Search..."), 11);
    help->addSeparator()->setObjectName(QStringLiteral("miLN3"));
    QMenu *web = help->addMenu(Image(12), QStringLiteral("&On the Web"));
    web->menuAction()->setObjectName(QStringLiteral("miOnTheWeb"));
    addItem(web, "miPellion", QStringLiteral("Pellion"), 18);
    addItem(web, "miSparvane", QStringLiteral("Sparvane"));
    addItem(web, "miOndrake", QStringLiteral("Ondrake"), 13);
    help->addSeparator()->setObjectName(QStringLiteral("miLN5"));
    addItem(help, "miAbout", QStringLiteral("&About Taveloq..."), 14);

    m_execEdit = bar->addMenu(QString());
    m_execEdit->setObjectName(QStringLiteral("miExecEdit"));
    m_execEdit->menuAction()->setObjectName(QStringLiteral("miExecEdit"));
    m_execEdit->menuAction()->setVisible(false);
    m_execEdit->setProperty("Tag", QString());
    addItem(m_execEdit, "miEditMovInstruction", QStringLiteral("Edit Mov Instruction..."));
    addItem(m_execEdit, "miEditPauseInstruction", QStringLiteral("Edit Pause Instruction..."));
    addItem(m_execEdit, "miEditScriptInstruction", QStringLiteral("Edit Script Instruction..."));
    addItem(m_execEdit, "miEditWAV", QStringLiteral("Edit &WAV..."));
    addItem(m_execEdit, "miGenerateMoves", QStringLiteral("&Generate Moves From Sound..."));
    m_execEdit->addSeparator()->setObjectName(QStringLiteral("miLN6"));
    QMenu *insert = m_execEdit->addMenu(QStringLiteral("&Insert"));
    insert->menuAction()->setObjectName(QStringLiteral("miInsert"));
    addItem(insert, "miInsertMov", QStringLiteral("Insert &Mov..."), 19);
    addItem(insert, "miInsPause", QStringLiteral("Insert &Pause..."), 16);
    addItem(insert, "miInsertScript", QStringLiteral("Insert &Script..."), 17);
    addItem(insert, "miInsertWav", QStringLiteral("Insert &WAV..."), 20);
    m_execEdit->addSeparator()->setObjectName(QStringLiteral("miLN7"));
    addItem(m_execEdit, "miDeleteInstruction", QStringLiteral("Delete Instruction"), 15);
    // The Edit menu's own actions below: one command, wherever it is chosen.
    for (const EditItem &e : kEditItems) {
        if (e.name)
            m_execEdit->addAction(Item(QString::fromLatin1(e.name)));
        else
            m_execEdit->addSeparator();
    }
    m_execEdit->insertSeparator(Item(QStringLiteral("miUndo")));
}

void MainActions::buildToolbars()
{
    m_fileBar = m_window.addToolBar(QStringLiteral("File"));
    m_fileBar->setObjectName(QStringLiteral("cToolBar1"));
    m_fileBar->addAction(Item(QStringLiteral("miNew")));
    m_fileBar->addAction(Item(QStringLiteral("miOpen")));
    // Saves under a new name while Save is disabled: a command of its own.
    QAction *save = m_fileBar->addAction(Image(2), QStringLiteral("Save"));
    save->setObjectName(QStringLiteral("tbSave"));
    // Ctrl+S while Save is off, that is without a file name.
    save->setShortcuts(Item(QStringLiteral("miSave"))->shortcuts());
    m_fileBar->addSeparator();
    m_fileBar->addAction(Item(QStringLiteral("miLoadScript")));
    m_fileBar->addAction(Item(QStringLiteral("miSaveAsScript")));
    m_fileBar->addSeparator();
    m_fileBar->addAction(Item(QStringLiteral("miLoadConfiguration")));
    m_fileBar->addAction(Item(QStringLiteral("miSaveConfiguration")));

    m_viewBar = m_window.addToolBar(QStringLiteral("View"));
    m_viewBar->setObjectName(QStringLiteral("cToolbar2"));
    m_viewBar->addActions(m_views->actions());
    m_viewBar->addSeparator();
    // Help shows the contents, with an icon of its own.
    QAction *help = m_viewBar->addAction(Image(9), QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("tbHelp"));
    m_viewBar->addSeparator();

    for (QToolBar *bar : {m_fileBar, m_viewBar}) {
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        bar->setMovable(false);
        bar->setFloatable(false);
    }
}

void MainActions::SetLocked(bool locked)
{
    m_locked = locked;
    const bool enabled = !locked;
    for (QToolBar *bar : {m_fileBar, m_viewBar})
        bar->setEnabled(enabled);
    for (const char *menu : kLockedMenus) {
        for (QAction *a : m_window.findChildren<QAction *>(QString::fromLatin1(menu)))
            a->setEnabled(enabled);
    }
    // Their shortcuts must not switch the view while a program runs.
    for (QAction *a : m_views->actions())
        a->setEnabled(enabled);
    Q_EMIT lockedChanged(locked);
}
