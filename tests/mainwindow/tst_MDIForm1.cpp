#include "app/DataPaths.h"
#include "app/ExportSettingsStore.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "app/StartUp.h"
#include "execution/ExecutionController.h"
#include "execution/frmExecution.h"
#include "execution/smart/frmSmart.h"
#include "export/frmExportPBASIC.h"
#include "library/ConfigurationFile.h"
#include "library/TQINI1.h"
#include "library/frmLoadScript.h"
#include "library/frmSaveConfiguration.h"
#include "library/frmSaveScript.h"
#include "link/LinkTestSupport.h"
#include "link/frmSerialPorts.h"
#include "mainwindow/EditCommands.h"
#include "mainwindow/LogoStrip.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/SidePanel.h"
#include "mainwindow/edit/frmEditMov.h"
#include "mainwindow/edit/frmEditPause.h"
#include "mainwindow/edit/frmScriptEdit.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "mainwindow/grid/frmCustom.h"
#include "mainwindow/grid/sGrid.h"
#include "platform/Clock.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "platform/WidgetServices.h"
#include "platform/WindowFrame.h"
#include "platform/cLogo.h"
#include "platform/cRegistry.h"
#include "platform/frmAbout.h"
#include "platform/frmSplash.h"
#include "program/FileCommands.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"
#include "servos/RecordBar.h"
#include "servos/ServoPanel.h"
#include "servos/TakeRecorder.h"
#include "servos/frmControlSurface.h"
#include "servos/frmServoControl.h"
#include "servos/frmServoEdit.h"
#include "shell/ApplicationMain.h"
#include "support/ModalDialogs.h"
#include "support/TestSupport.h"
#include "surface/OscSurface.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include <lo/lo.h>

struct StackingLog final : QObject
{
    QStringList events;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if ((qobject_cast<frmSplash *>(watched) && event->type() == QEvent::ZOrderChange) ||
            (qobject_cast<MDIForm1 *>(watched) && event->type() == QEvent::Show))
            events << watched->objectName();
        return false;
    }
};

// Passes each box on to the test's service, counting those shown while a splash was.
struct SplashWatch final : IMessageService
{
    int underSplash = 0;
    MsgAnswer show(const MessageRequest &request) override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            underSplash += qobject_cast<frmSplash *>(w) && w->isVisible();
        return TestMessages().show(request);
    }
};

const QString kSaveQuestion = QStringLiteral("Do you want to save the current file?");
const QStringList kAnswers{"Ok", "Cancel", "Yes", "No"}; // MsgAnswer's order

// Answers file dialogs in order (cancelled when none is left) and records their titles.
struct ScriptedDialogs final : IFileDialogService
{
    QStringList answers, titles;
    QString choose(const FileDialogRequest &request) override
    {
        titles << request.title;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
};

class TestMainWindow : public TestBase
{
    Q_OBJECT

    std::unique_ptr<VirtualClock> m_clock;
    std::unique_ptr<VirtualBoard> m_board;
    std::unique_ptr<ApplicationMain> m_app;
    ScriptedDialogs m_dialogs;

    MDIForm1 &main() { return *m_app->mainWindow(); }
    frmServoControl &servos() { return *main().ServoControl(); }
    QAction *item(const char *name) { return main().MenuItem(QString::fromLatin1(name)); }
    // Triggers the menu item and acts on the modal dialog of type T it must show.
    template <typename T> void fromMenu(const char *name, std::function<void(T *)> act)
    {
        bool shown = false;
        WhenShown<T>(act, &shown);
        item(name)->trigger();
        QVERIFY2(shown, name);
    }

    // The real start-up with the board on Comm Port 1 and waits on virtual time.
    void startUp()
    {
        m_clock = std::make_unique<VirtualClock>();
        Services::setClock(m_clock.get());
        m_board = std::make_unique<VirtualBoard>();
        MapPortToBoard(1, *m_board);
        restart();
    }
    void restart()
    {
        m_app.reset();
        m_app = std::make_unique<ApplicationMain>();
        QVERIFY(RunStartUp(*m_app));
        QVERIFY(m_app->mainWindow());
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
    }
    void goOffline()
    {
        m_app->session().SetCommPortStatus(QStringLiteral("Offline"));
        m_app->link().Close();
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        Services::setFileDialogs(&m_dialogs);
        m_dialogs.answers = m_dialogs.titles = {};
        startUp();
    }
    void cleanup()
    {
        m_app.reset();
        m_board.reset();
        Services::setClock(nullptr);
        Services::setFileDialogs(nullptr);
        m_clock.reset();
        TestBase::cleanup();
    }

    // Checks the one view on show, its menu item and toolbar button.
    void expectView(bool execution)
    {
        QCOMPARE(main().ExecutionChild()->isVisible(), execution);
        QCOMPARE(main().ServoControlChild()->isVisible(), !execution);
        QCOMPARE(item("miExecution")->isChecked(), execution);
        QCOMPARE(item("miServoControl")->isChecked(), !execution);
        QCOMPARE(main().Actions().ViewBar()->actions().at(1)->isChecked(), execution);
        QCOMPARE(main().Actions().ViewBar()->actions().at(0)->isChecked(), !execution);
    }

    void startUpShowsTheServoController()
    {
        QVERIFY(!m_app->splash());
        expectView(false); // the controller's window shows only when the main window does
        for (const char *name : {"miMRU1", "miMRU4", "miMRUSep"})
            QVERIFY(!item(name)->isVisible());
        // Opened before anything else could send.
        QVERIFY(m_app->link().PortOpen());
        QCOMPARE(m_app->session().CommPortStatus(), QStringLiteral("Online"));
        QCOMPARE(m_board->ReadAvailable(50), QByteArray());
    }

    void f4AndF3SwitchAndReload()
    {
        WriteWholeFileBytes(m_app->listing().TempFilePath(), "Pause 5\r\nMov 1,20\r\n");
        QTest::keyClick(&main(), Qt::Key_F4);
        expectView(true);
        QCOMPARE(m_app->listing().Items(), (QStringList{QStringLiteral("Pause 5"), QStringLiteral("Mov 1,20")}));
        // Choosing the view already shown keeps it and its check mark.
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(&main(), Qt::Key_F3);
            expectView(false);
        }
        // The timeline shows beside either view, and goes again; File > Export offers its picture meanwhile.
        auto *timeline = main().findChild<QDockWidget *>(QStringLiteral("Timeline"));
        for (const bool shown : {true, false}) {
            QTest::keyClick(&main(), Qt::Key_3, Qt::ControlModifier);
            QVERIFY(timeline->isVisible() == shown && item("miTimeline")->isChecked() == shown &&
                    item("miExportTimeline")->isEnabled() == shown);
            expectView(false);
        }
    }

    void fileToolbarIndexesCountSeparators()
    {
        QToolBar *bar = main().Actions().FileBar();
        QSignalSpy loadConfiguration(item("miLoadConfiguration"), &QAction::triggered);
        QTest::mouseClick(bar->widgetForAction(bar->actions().at(7)), Qt::LeftButton);
        QCOMPARE(loadConfiguration.size(), 1);

        // Save saves a program with a file and names one otherwise, whatever the File menu showed last.
        open(programFile(QStringLiteral("walk.tqp"), ""));
        item("tbSave")->trigger();
        QSignalSpy saved(item("miSave"), &QAction::triggered);
        QTest::keySequence(&main(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(saved.size(), 1);
        item("miNew")->trigger();
        item("tbSave")->trigger();
        QCOMPARE(m_dialogs.titles.mid(1), (QStringList{"Open...", "Save As..."})); // after Load Configuration
    }

    // A program file in a folder deep enough for the recent files to shorten it.
    QString programFile(const QString &name, const QByteArray &text = "mov 1,10\r\n")
    {
        const QString path = DataPaths::ProgramsFolder() + QStringLiteral("/xyz/twenty-chars-folder1/") + name;
        QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
        WriteWholeFileBytes(path, text);
        return path;
    }
    void open(const QString &path)
    {
        m_dialogs.answers << path;
        item("miOpen")->trigger();
    }
    QStringList recentCaptions()
    {
        QStringList captions;
        for (const char *name : {"miMRU1", "miMRU2", "miMRU3", "miMRU4"})
            captions << (item(name)->isVisible() ? item(name)->text() : QString());
        return captions;
    }

    void savePromptBeforeTheListingIsReplaced_data() { AddTestDataRows(QStringLiteral("mainwindow/save-prompt.txt")); }
    void savePromptBeforeTheListingIsReplaced()
    {
        QFETCH(QStringList, row);
        const int answer = kAnswers.indexOf(row[2]); // -1: no question
        const QString saveAs = row[3].isEmpty() ? QString() : DataPaths::ProgramsFolder() + '/' + row[3];
        const QString &dialogs = row[4];
        const bool kept = row[5] == QLatin1String("kept");
        open(programFile(QStringLiteral("walk.tqp")));
        m_dialogs.answers << saveAs;
        if (answer >= 0) {
            m_app->listing().AppendLine(QStringLiteral("Pause 9"), QStringLiteral("Log"));
            TestMessages().queueAnswer(MsgAnswer(answer));
        }
        const QStringList listing = m_app->listing().Items();

        main().findChild<QAction *>(row[1])->trigger();
        // The question, and the report of a Save As that could not write.
        QCOMPARE(TestMessages().takeTexts().size(), (answer >= 0) + row[3].contains('/'));
        QCOMPARE(m_dialogs.titles.mid(1).join(QLatin1Char(',')), dialogs); // after walk's Open
        QCOMPARE(m_app->listing().Items(), kept ? listing : QStringList());
        // After a cancelled Open the listing has no file to save to.
        QCOMPARE(main().windowTitle(), QStringLiteral("Taveloq v1.1") + (kept ? " - [ walk.tqp ][*]" : "[*]"));
        QCOMPARE(main().isWindowModified(), kept);
        QCOMPARE(item("miSave")->isEnabled(), kept && !dialogs.contains(QLatin1String("Open...")));
    }

    void openedFilesEnterTheRecentFiles()
    {
        for (const char *name : {"wave.tqp", "jump.tqp", "R&D.tqp", "walk.tqp"})
            open(programFile(QString::fromLatin1(name)));
        // A script keeps the properties and becomes the open file; the oldest entry drops; jump again moves up.
        m_app->properties().SetValue(PropertyField::SynchByte, QStringLiteral("200"));
        open(programFile(QStringLiteral("nod.tqs"), "Pause 5\r\n"));
        QCOMPARE(m_app->properties().Value(PropertyField::SynchByte), QStringLiteral("200"));
        QCOMPARE(m_app->listing().Items(), QStringList{QStringLiteral("Pause 5")});
        item("miMRU4")->trigger();
        const QStringList expected = TestDataRows(QStringLiteral("mainwindow/recent-captions.txt")).value(0);
        QCOMPARE(recentCaptions(), expected);
        QVERIFY(item("miMRU1")->isChecked() && item("miMRUSep")->isVisible());
        // No empty check boxes beside the others.
        QVERIFY(!item("miMRU2")->isCheckable() && !item("miMRU4")->isCheckable());

        // An unchanged program is replaced and closed unasked.
        QVERIFY(TestMessages().takeTexts().isEmpty());

        QVERIFY(main().close());
        restart();
        QCOMPARE(recentCaptions(), expected);
        QVERIFY(!item("miMRU1")->isCheckable()); // no file open
    }

    // Saves a configuration through the dialog, clicking the named controls; a failed write keeps the dialog.
    void saveConfiguration(const QStringList &clicks, const QString &path)
    {
        m_dialogs.answers << path;
        fromMenu<frmSaveConfiguration>("miSaveConfiguration", [this, &clicks, &path](frmSaveConfiguration *dialog) {
            dialog->cmdRestore()->click(); // the dialog stays open
            ExpectMessage(QStringLiteral("The Start-Up Defaults have been reset."), MsgIcon::Information);
            for (const QString &name : clicks)
                dialog->findChild<QAbstractButton *>(name)->click();
            // Without a program its box stays off, Check All too.
            const bool program = !m_app->commands().CurrentProgramPath().isEmpty();
            QCOMPARE(dialog->Check(ConfigSection::CurrentProgram)->isEnabled(), program);
            const bool checked = dialog->Check(ConfigSection::CurrentProgram)->isChecked();
            QTest::mouseClick(dialog->cmdSaveAs(), Qt::LeftButton);
            QVERIFY(checked == (program && clicks.contains(QStringLiteral("cmdCheckAll"))));
            const bool open = dialog->isVisible();
            dialog->reject();
            QCOMPARE(open, path.contains(QLatin1String("/none/")));
        });
    }

    void saveConfigurationDialog_data() { AddTestDataRows(QStringLiteral("mainwindow/save-configuration.txt")); }
    void saveConfigurationDialog()
    {
        QFETCH(QStringList, row);
        const QString &expected = row[2];
        m_app->servos().SetLabel(0, QStringLiteral("Kopf \u00e4"));
        const bool fails = expected == QLatin1String("fails");
        const QString path = DataPaths::ConfigFolder() + (fails ? "/none/c.tqc" : "/c.tqc");
        saveConfiguration({row[1]}, path);
        QCOMPARE(m_dialogs.titles, QStringList{QStringLiteral("Save Configuration As...")});
        if (fails) {
            QCOMPARE(TestMessages().takeTexts().size(), 1); // the report
            return;
        }
        QCOMPARE(ReadIniValue(QStringLiteral("CurrentProgram"), QStringLiteral("Saved"), path),
                 QStringLiteral("False"));
        if (!expected.isEmpty())
            QCOMPARE(ReadWholeFileBytes(path), ReadWholeFileBytes(TestDataPath(expected)));
    }

    // Everything a configuration holds comes back after a restart, the servos through the board.
    void configurationRestoresAfterRestart()
    {
        const QString program = programFile(QStringLiteral("p.tqp"), "mov 1,10\r\nPause 5\r\n");
        open(program);
        WriteWholeFileBytes(DataPaths::ScriptsFolder() + QStringLiteral("/walk.tqs"), "");
        m_app->servos().SetLoadedScripts({QStringLiteral("walk.tqs")});
        m_app->servos().SetLabel(2, QStringLiteral("Arm")); // and 4 disabled, all sliders moved, Loop, line 1
        m_app->servos().SetEnabled(4, false);
        m_app->properties().SetValue(PropertyField::InterInstructionDelay, QStringLiteral("500"));
        m_app->execution().SetMode(ExecutionMode::Loop);
        m_app->listing().ListClicked(1);
        m_app->exportSettings().SetSettings({2, 5, 1, 1});
        QByteArray frames, moved; // a disabled servo's slider sends nothing; the configuration does
        for (int i = 0; i < kServoCount; ++i) {
            servos().SetSliderValue(i, 60 + i);
            frames += Bytes({255, i, 60 + i});
            if (i != 4)
                moved += Bytes({255, i, 60 + i});
        }
        QCOMPARE(ReadBytesServing(*m_board, moved.size(), 2000), moved); // all of them, or late ones count below
        main().resize(864, 542);
        main().move(40, 30);
        const QRect placed = main().frameGeometry();
        saveConfiguration({QStringLiteral("cmdCheckAll")}, DataPaths::ConfigFolder() + QStringLiteral("/all.tqc"));
        // The control surface turned on: Cancel changes nothing, OK listens now and at the next start.
        for (const bool ok : {false, true}) {
            fromMenu<frmControlSurface>("miControlSurface", [ok](frmControlSurface *d) {
                d->findChild<QCheckBox *>(QStringLiteral("chkEnabled"))->setChecked(true);
                d->findChild<QSpinBox *>(QStringLiteral("txtPort"))->setValue(FreeUdpPort()); // 9000 may be taken
                ok ? d->accept() : d->reject();
            });
            QCOMPARE(m_app->surface().Listening(), ok);
        }
        QVERIFY(main().close());

        restart(); // "Next Time Only", as Check All left it
        QVERIFY(m_app->surface().Listening());
        QCOMPARE(ReadBytesServing(*m_board, frames.size(), 2000), frames);
        for (int i = 0; i < kServoCount; ++i)
            QCOMPARE(servos().vscServo(i)->value(), 60 + i);
        QCOMPARE(m_app->servos().Label(2), QStringLiteral("Arm"));
        QVERIFY(!m_app->servos().Enabled(4) && m_app->servos().Enabled(5));
        QCOMPARE(m_app->servos().LoadedScripts(), QStringList{QStringLiteral("walk.tqs")});
        QCOMPARE(m_app->properties().Value(PropertyField::InterInstructionDelay), QStringLiteral("500"));
        QCOMPARE(m_app->execution().Mode(), ExecutionMode::Loop);
        QVERIFY(main().ExecutionWindow()->findChild<QRadioButton *>(QStringLiteral("optExecOpt1"))->isChecked());
        QVERIFY(m_app->listing().SelectedLine() == 1 && m_app->listing().Items().size() == 2);
        QCOMPARE(m_app->commands().CurrentProgramPath(), program);
        QCOMPARE(m_app->exportSettings().Settings(), (ExportSettings{2, 5, 1, 1}));
        QCOMPARE(ConfigurationFile::StartUpValue(QStringLiteral("Start-Up Mode")), QStringLiteral("0")); // loaded once
        QCOMPARE(main().frameGeometry(), placed);
    }

    // A placement saved on a larger screen still leaves the title bar where the mouse reaches it.
    void loadedWindowPositionStaysOnScreen()
    {
        m_dialogs.answers << TestDataPath(QStringLiteral("mainwindow/far-window.tqc"));
        item("miLoadConfiguration")->trigger();
        QVERIFY(main().screen()->availableGeometry().contains(main().frameGeometry().topLeft()));
    }

    void mnemonics_data() { AddTestDataRows(QStringLiteral("mainwindow/mnemonics.txt")); }
    void mnemonics()
    {
        QFETCH(QStringList, row);
        const bool fromSidePanel = row[2] == QLatin1String("yes"), running = row[3] == QLatin1String("yes");
        const QString &takes = row[4];
        QTest::keyClick(&main(), Qt::Key_F4);
        auto *stop = main().ExecutionWindow()->findChild<QPushButton *>(QStringLiteral("cmdStop"));
        main().SetInterfaceLocked(running);
        stop->setEnabled(running);
        (fromSidePanel ? static_cast<QWidget *>(main().Side().cmdMinAll()) : main().ExecutionWindow()->List1())
            ->setFocus();
        QString took;
        QObject context;
        for (QPushButton *b :
             {main().Side().cmdCenterAll(), main().Side().cmdMinAll(), main().Side().cmdMaxAll(), stop})
            connect(b, &QPushButton::clicked, &context, [&took, b] { took = b->objectName(); });
        QTest::keyClick(&main(), Qt::Key(row[1].at(0).unicode()), Qt::AltModifier); // Qt::Key_A is 'A'
        QAction *opened = main().menuBar()->activeAction();
        QCOMPARE(took + (opened ? opened->objectName() : QString()), takes);
        if (!takes.endsWith(QLatin1String("All")))
            QCOMPARE(m_board->ReadAvailable(100), QByteArray());
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        main().SetInterfaceLocked(false);
    }

    // F6 and Ctrl+Tab take the keyboard from part to part, back to where it was; every control it
    // reaches has a name a screen reader can say.
    void keyboardReachesEveryPart()
    {
        for (QWidget *w : main().findChildren<QWidget *>()) {
            const QAccessibleInterface *named = QAccessible::queryAccessibleInterface(w);
            if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) // ">" or "0" says nothing
                QVERIFY2(named->text(QAccessible::Name).contains(QRegularExpression("[A-Za-z]{3}")),
                         qPrintable(w->objectName()));
        }
        servos().vscServo(2)->setFocus();
        QStringList visited; // a toolbar's button by its toolbar
        for (const char *key : {"F6", "F6", "F6", "Ctrl+Tab", "Shift+F6", "Shift+F6", "F7", "Shift+F6"}) {
            QTest::keySequence(QApplication::focusWidget(), QKeySequence(QString::fromLatin1(key)));
            const QWidget *focus = QApplication::focusWidget();
            visited << (qobject_cast<QToolBar *>(focus->parentWidget()) ? focus->parentWidget() : focus)->objectName();
        }
        QCOMPARE(visited.join(u' '), QStringLiteral("grid cmdCenterAll cToolBar1 cToolbar2 cToolBar1 cmdCenterAll "
                                                    "cmdLogo vscServo2"));
        QVERIFY(!item("miPropertiesGrid")->isChecked());
        item("miPropertiesGrid")->trigger();
        QVERIFY(main().Side().Expanded() && item("miPropertiesGrid")->isChecked());
        QAccessibleTableInterface *cells =
            QAccessible::queryAccessibleInterface(main().Side().Grid()->Grid())->tableInterface();
        for (int i = 0; i < cells->rowCount() * cells->columnCount(); ++i) {
            const QString name = cells->cellAt(i / 2, i % 2)->text(QAccessible::Name);
            QVERIFY2(name.contains(QRegularExpression("[A-Za-z]{3}")), qPrintable(name)); // a value with its name
        }
    }

    void cmdLogoCollapsesAndExpands()
    {
        // The painted parts take a new palette's colours, a dark theme's too.
        QPalette dark(QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::Highlight, QColor(0x20, 0x50, 0x90));
        main().setPalette(dark);
        QCOMPARE(main().Side().Grid()->Grid()->GridCellBackColor(PropertyGridModel::ProgramHeading, 1), 0x205090);
        const QImage strip = main().Side().picLogo()->grab().toImage();
        QCOMPARE(strip.pixelColor(strip.width() - 1, strip.height() - 1), dark.color(QPalette::Highlight));

        QCOMPARE(main().Side().width(), main().Side().ExpandedWidth());
        for (const bool expanded : {false, true}) {
            QTest::mouseClick(main().Side().cmdLogo(), Qt::LeftButton);
            QCoreApplication::processEvents();
            QCOMPARE(main().Side().width(),
                     expanded ? main().Side().ExpandedWidth() : main().Side().picLogo()->width());
            QCOMPARE(main().Side().cmdCenterAll()->isVisible(), expanded);
        }
    }

    void logoBands_data() { AddTestDataRows(QStringLiteral("mainwindow/logo-bands.txt")); }
    void logoBands()
    {
        QFETCH(QStringList, row);
        cLogo logo;
        logo.SetStartColor(QColor(row[1]));
        logo.SetEndColor(QColor(row[2]));
        QImage image(17, row[0].toInt(), QImage::Format_RGB32);
        image.fill(Qt::gray);
        QPainter painter(&image);
        logo.Draw(painter, image.size(), main().font(), Qt::white);
        painter.end();
        const auto rows = [&image](int y0) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                n += image.pixel(16, y) == image.pixel(16, y0);
            return QString::number(n);
        };
        QCOMPARE(QColor(image.pixel(16, image.height() - 1)), QColor(row[3]));
        QCOMPARE(rows(image.height() - 1), row[4]);
        QCOMPARE(QColor(image.pixel(16, 0)), QColor(row[5]));
        QCOMPARE(rows(0), row[6]);
    }

    void splashStaysAboveTheMainWindowButNotAboveMessages()
    {
        StackingLog log;
        qApp->installEventFilter(&log);
        restart();
        qApp->removeEventFilter(&log);
        // Raised again once the main window is up, for a desktop without a window manager.
        QVERIFY(log.events.lastIndexOf(QStringLiteral("frmSplash")) > log.events.indexOf(QStringLiteral("MDIForm1")));

        // A start-up message is not left beneath the splash.
        SerialPortMap::SetDevicePath(1, QStringLiteral("/dev/taveloq-no-such-device"));
        SplashWatch watch;
        Services::setMessages(&watch);
        restart();
        Services::setMessages(&TestMessages());
        QCOMPARE(watch.underSplash, 0);
        QCOMPARE(TestMessages().takeTexts().size(), 1); // the port's report
    }

    void splashWindow()
    {
        // 500 twips above the middle are 33 pixels at 96 dpi, 50 at 144.
        QCOMPARE(frmSplash::Placement(QRect(0, 0, 1280, 1024), QSize(480, 300), 144), QPoint(400, 312));
        for (const bool showAsSplash : {true, false}) { // a status line, or a close button
            QPointer<frmSplash> splash = new frmSplash;
            splash->SetShowAsSplash(showAsSplash);
            splash->show();
            QCOMPARE(splash->Command1()->isVisible(), !showAsSplash);
            QCOMPARE(splash->Label(3)->isVisible(), showAsSplash);
            const QSize room = splash->screen()->size() - splash->size();
            QCOMPARE(splash->pos(), QPoint(room.width() / 2, room.height() / 2 - 33));
            splash->Command1()->click();
            QTRY_VERIFY(!splash);
        }
    }

    // Programs the Help menu starts: System Info's tool and the default handler of web addresses.
    void helpMenuStartsProgramsFromPath_data() { AddTestDataRows(QStringLiteral("mainwindow/help-menu-programs.txt")); }
    void helpMenuStartsProgramsFromPath()
    {
        QFETCH(QStringList, row);
        const QString &command = row[1], &program = row[2], &result = row[3];
        const ScopedPath path;
        const QString marker = path.dir.filePath(QStringLiteral("marker"));
        if (!program.isEmpty())
            path.AddScript(program, "echo \"${1:-started}\" > '" + QFile::encodeName(marker) + "'");
        if (program == QLatin1String("mytool")) // on PATH, but only the settings name it
            cRegistry::AppKey(frmAbout::kSystemInfoValue).SetValue(path.dir.filePath(program));
        bool shown = false, apart = false;
        WhenShown<frmAbout>(
            [&apart](frmAbout *about) {
                // The buttons keep apart, from each other and from the edge.
                const QRect ok = about->cmdOK()->geometry(), info = about->cmdSysInfo()->geometry();
                apart = info.left() - ok.right() > 4 && about->width() - info.right() > 4;
                about->cmdSysInfo()->click();
                about->cmdOK()->click();
            },
            &shown);
        item(qPrintable(command))->trigger();
        QCOMPARE(shown, command == QLatin1String("miAbout"));
        QCOMPARE(apart, shown);
        if (result.isEmpty())
            return ExpectMessage(QStringLiteral("System Information Is Unavailable At This Time"), MsgIcon::None,
                                 MsgButtons::OkCancel, QStringLiteral("Taveloq"));
        QTRY_VERIFY(QFile::exists(marker));
        QTRY_COMPARE(ReadWholeFile(marker).trimmed(), result);
    }

    void helpEntriesNameTheMissingHelpFile()
    {
        // No help file sits beside the test program: every entry names the one it looked for.
        const QString missing = QCoreApplication::applicationDirPath() + QStringLiteral("/Taveloq Help.chm ");
        for (const char *name : {"F1", "miIndex", "miSearch", "tbHelp"}) {
            name == QLatin1String("F1") ? QTest::keyClick(&main(), Qt::Key_F1) : item(name)->trigger();
            const QStringList shown = TestMessages().takeTexts();
            QVERIFY2(shown.size() == 1 && shown[0].contains(missing), qPrintable(shown.join(u'|')));
        }
    }

    void onlineSlidersAndCenterSendFramesOfflineNothing()
    {
        // Live moves are paced on the test's clock: a servo's next frame 20 ms after its last, when the
        // line (12.5 ms a frame at 2400 baud) is free.
        m_app->link().SetClock(m_clock.get());
        const auto later = [this](int count) {
            const QByteArray early = m_board->ReadAvailable(30);
            m_clock->advanceNs(30'000'000);
            return early + ReadBytesServing(*m_board, count, 1000);
        };
        // Center sends its frame, and the slider's own too when it moved.
        QTest::mouseClick(servos().cmdCenter(4), Qt::LeftButton);
        QCOMPARE(m_board->ReadBytes(3, 1000), Bytes({0xFF, 4, 127})); // once: the next frame is the move
        servos().vscServo(4)->setValue(10);
        QCOMPARE(later(3), Bytes({0xFF, 4, 10}));
        m_clock->advanceNs(30'000'000);
        QTest::mouseClick(servos().cmdCenter(4), Qt::LeftButton);
        QCOMPARE(m_board->ReadBytes(3, 1000), Bytes({0xFF, 4, 127}));
        QCOMPARE(later(3), Bytes({0xFF, 4, 127}));
        // A position a run set shows on the slider, and only shows.
        m_app->servos().SetPosition(2, 40);
        QCOMPARE(servos().vscServo(2)->value(), 40);
        QCOMPARE(m_board->ReadAvailable(100), QByteArray());

        goOffline();
        servos().vscServo(3)->setValue(90);
        QTest::mouseClick(servos().cmdCenter(3), Qt::LeftButton);
        QTest::mouseClick(main().Side().cmdCenterAll(), Qt::LeftButton);
        QCOMPARE(servos().vscServo(3)->value(), 127);
        QCOMPARE(m_board->ReadAvailable(100), QByteArray());
    }

    void maxAllServosSequence()
    {
        m_app->servos().SetEnabled(3, false);
        servos().vscServo(6)->setValue(254);
        QCOMPARE(m_board->ReadBytes(3, 1000), Bytes({0xFF, 6, 254}));
        QTest::mouseClick(main().Side().cmdMaxAll(), Qt::LeftButton);
        QByteArray expected;
        for (int servo = 0; servo < kServoCount; ++servo)
            expected += Bytes({0xFF, servo, 0xFE});
        // Then the sliders' own frames, when they moved and may send: paced behind the line, in turn
        // after the last live one (servo 6).
        for (int servo : {7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 4, 5})
            expected += Bytes({0xFF, servo, 0xFE});
        QCOMPARE(ReadBytesServing(*m_board, int(expected.size()), 2000), expected);
        QCOMPARE(m_board->ReadAvailable(100), QByteArray());
        QCOMPARE(m_app->servos().Position(0), qint16(254));
    }

    // A take through the Record button, the user's moves on virtual time: Ctrl+R or the button stops it
    // and its lines follow the program's (or, over the program, merge with it) as one step, Escape throws it
    // away, Smart timing refuses it; a take kept as a script takes the place of its lines.
    void recordTake_data() { AddTestDataRows(QStringLiteral("mainwindow/record-take.txt")); }
    void recordTake()
    {
        QFETCH(QStringList, row);
        const QString &expected = row[4], &script = row[5];
        const bool overdub = row[6] == QLatin1String("yes"), offline = row[6] == QLatin1String("offline");
        if (offline) { // without a board: the sliders' moves still make the take
            m_app->session().SetCommPortStatus(QStringLiteral("Offline"));
            m_app->session().UpdatePropertiesFromGrid();
        }
        m_app->properties().SetValue(PropertyField::InterInstructionDelay, row[1]);
        const QString program = row.value(7, QStringLiteral("Pause 10;Mov 2,30;Mov 3,40"));
        m_app->listing().Reset(program.split(u';'));
        const QByteArray before = ReadWholeFileBytes(m_app->listing().TempFilePath());
        RecordBar &bar = *servos().Recording();
        bar.spnTolerance()->setValue(row[2].toInt());
        bar.chkOverdub()->setChecked(overdub);
        m_app->servos().SetEnabled(5, false);
        const auto at = [this](qint64 ms) { m_clock->advanceNs(ms * 1'000'000); };
        m_app->link().SetClock(m_clock.get()); // frames paced on the take's time: each goes out at once

        TestMessages().whileShown([at] { at(5000); });
        QTest::mouseClick(bar.cmdRecord(), Qt::LeftButton);
        if (row[1] == QLatin1String("Smart")) { // refused before it starts, with the writer's own message
            QVERIFY(TestMessages().takeTexts().size() == 1 && !m_app->recorder().Recording() &&
                    !bar.cmdRecord()->isChecked());
            return;
        }
        if (overdub) { // played on the board, to its end (its waits pass the clock by), before the user moves
            QCOMPARE(m_board->ReadBytes(kServoCount * 3 + 6, 2000).right(6), Bytes({0xFF, 2, 30, 0xFF, 3, 40}));
            QTRY_VERIFY(!m_app->execution().StopEnabled());
            QCOMPARE(TestMessages().takeTexts().size(), program.count(QLatin1String("missing"))); // held 5 s each
            // The take goes on; a run started now would not be the take's, so live moves no longer pass.
            QVERIFY(m_app->recorder().Recording() && !m_app->recorder().Overdubbing());
        }
        QSlider *arm = servos().vscServo(2);
        arm->setFocus();
        at(200);
        QTest::keyClick(arm, Qt::Key_Right);
        at(50);
        QTest::keyClick(arm, Qt::Key_Right);
        at(450); // a drag: each step, then its end
        arm->setSliderDown(true);
        for (const int position : {140, 150}) {
            arm->setSliderPosition(position);
            at(60);
        }
        arm->setSliderDown(false);
        servos().vscServo(5)->setValue(10); // disabled: moved by code only, never recorded
        at(240);
        const int port = FreeUdpPort(); // a control surface's move
        QVERIFY(m_app->surface().Apply({.enabled = true, .port = port}));
        const lo_address to = lo_address_new("127.0.0.1", QByteArray::number(port).constData());
        lo_send(to, "/servo/3", "i", 60);
        lo_address_free(to);
        QTRY_COMPARE(m_app->servos().Position(3), offline ? 127 : 60); // offline: still at the centre
        at(500);
        const auto *mark = main().statusBar()->findChild<QLabel *>(QStringLiteral("lblRecordingStatus"));
        QTRY_VERIFY(mark->isVisible() && (overdub || (mark->text().endsWith(QStringLiteral("0:01.5")) &&
                                                      bar.lblRecording()->text().endsWith("0:01.5"))));

        if (row[3] == QLatin1String("button"))
            QTest::mouseClick(bar.cmdRecord(), Qt::LeftButton);
        else
            QTest::keySequence(&main(), QKeySequence(row[3]));
        QVERIFY(!m_app->recorder().Recording() && !main().statusBar()->isVisible());
        const QByteArray after = ReadWholeFileBytes(m_app->listing().TempFilePath());
        QCOMPARE(after, expected.isEmpty() ? before : ReadWholeFileBytes(TestDataPath(expected)));
        if (expected.isEmpty())
            return;
        if (!script.isEmpty()) {
            fromMenu<frmSaveScript>("miSaveTakeAsScript", [&script](frmSaveScript *dialog) {
                dialog->txtName()->setText(script);
                dialog->cmdOK()->click();
            });
            QCOMPARE(ReadWholeFileBytes(m_app->listing().TempFilePath()),
                     before + "Script " + script.toUtf8() + "\r\n");
            QCOMPARE(before + ReadWholeFileBytes(DataPaths::ScriptsFolder() + '/' + script), after);
            main().MenuItem(QStringLiteral("miUndo"))->trigger();
        }
        main().MenuItem(QStringLiteral("miUndo"))->trigger(); // one step
        QCOMPARE(ReadWholeFileBytes(m_app->listing().TempFilePath()), before);
        // The choices beside the button outlive the program.
        QVERIFY(main().close());
        restart();
        QCOMPARE(servos().Recording()->spnTolerance()->value(), row[2].toInt());
        QCOMPARE(servos().Recording()->chkOverdub()->isChecked(), overdub);
    }

    void optionsMenuOpensItsDialogs()
    {
        fromMenu<frmServoEdit>("miEditServoLabels", [](frmServoEdit *dialog) {
            dialog->Check1(5)->setChecked(false);
            dialog->Text1(5)->setText(QStringLiteral("Gripper"));
            dialog->Command1()->click();
        });
        // What OK writes is checked in the dialog's own test; here, that it reaches this window.
        QCOMPARE(servos().panel(5)->caption(), QStringLiteral("Gripper"));
        QVERIFY(!servos().panel(5)->isEnabled());
        fromMenu<frmSerialPorts>("miSerialPorts", [](frmSerialPorts *dialog) { dialog->reject(); });
    }

    // Each window fits its screen with its closing buttons in view, is wide enough for its caption and
    // asks for no minimise or maximise button; those of one size keep it (window managers then offer no
    // maximise).
    void everyWindowFitsTheScreen_data() { AddTestDataRows(QStringLiteral("mainwindow/windows.txt")); }
    void everyWindowFitsTheScreen()
    {
        QFETCH(QStringList, row);
        const QString &name = row[0], &openedBy = row[1];
        const bool fixed = row[3] == QLatin1String("yes");
        const auto expectFits = [&](QWidget *window) {
            QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
            for (const QString &caption : row[2].split(QStringLiteral(", "))) {
                const QList<QAbstractButton *> all = window->findChildren<QAbstractButton *>();
                const auto b = std::find_if(all.begin(), all.end(), [&](auto *b) {
                    return b->text().remove(u'&') == QString(caption).remove(u'&'); // the platform's own OK has its own
                });
                QVERIFY2(b != all.end() && (*b)->isVisible() && (*b)->visibleRegion().boundingRect() == (*b)->rect(),
                         qPrintable(caption));
            }
            if (window == &main())
                return;
            QVERIFY(window->width() >= TitleBarWidth(*window));
            QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QVERIFY(!fixed || window->minimumSize() == window->maximumSize());
        };
        if (name == QLatin1String("MDIForm1"))
            return expectFits(&main());
        if (openedBy.startsWith(QLatin1String("mi"))) {
            return fromMenu<QDialog>(qPrintable(openedBy), [&](QDialog *dialog) {
                QCOMPARE(dialog->objectName(), name);
                expectFits(dialog);
                dialog->reject();
            });
        }
        const EditStart insert{true, {}, {}, {}};
        GridValueEntry &entry = main().findChild<PropertyGridPanel *>(QStringLiteral("sGrid"))->Entry();
        const std::map<QString, std::function<QDialog *()>> made = {
            {"frmEditMov", [&] { return new frmEditMov(insert, &main()); }},
            {"frmEditPause", [&] { return new frmEditPause(insert, &main()); }},
            {"frmScriptEdit", [&] { return new frmScriptEdit(insert, &main()); }},
            {"frmCustom", [&] { return new frmCustom(entry, &main()); }},
            {"frmSmart", [&] { return new frmSmart(m_app->properties(), QString(), &main()); }},
        };
        const std::unique_ptr<QDialog> dialog(made.at(name)());
        dialog->show();
        expectFits(dialog.get());
    }

    void execEditPopupOffersNothingInTheBar()
    {
        QMenu *popup = main().Actions().ExecEditMenu();
        QVERIFY(!popup->menuAction()->isVisible());
        // Opened for a Pause line: no other line's edit item (what it offers is used in the edit tests).
        WriteWholeFileBytes(m_app->listing().TempFilePath(), "Mov 1,20\r\nPause 5\r\n");
        m_app->listing().Update();
        main().Edits().ShowPopup(1, main().mapToGlobal(QPoint(40, 40)));
        QVERIFY(popup->isVisible());
        QVERIFY(!item("miEditMovInstruction")->isVisible());
        QVERIFY(!item("miEditWAV")->isVisible());
        // Insert needs a selected line; a right click selects none by itself.
        QVERIFY(!item("miInsert")->isEnabled());
        popup->hide();
        m_app->listing().SetSelectedLine(0);
        main().Edits().ShowPopup(1, main().mapToGlobal(QPoint(40, 40)));
        QVERIFY(item("miInsert")->isEnabled());
        popup->hide();
    }

    void lockingDisablesTheInterface()
    {
        // The file and edit commands' keys (Ctrl+S names a file while there is none) reach nothing during a run.
        m_app->listing().AppendLine(QStringLiteral("Mov 1,1"), QStringLiteral("Log"));
        const std::pair<const char *, const char *> keys[] = {{"Ctrl+Z", "miUndo"},         {"Ctrl+N", "miNew"},
                                                              {"Ctrl+O", "miOpen"},         {"Ctrl+S", "tbSave"},
                                                              {"Ctrl+Shift+S", "miSaveAs"}, {"Ctrl+Q", "miExit"}};
        for (const bool locked : {true, false}) {
            main().SetInterfaceLocked(locked);
            QCOMPARE(main().Side().cmdMaxAll()->isEnabled(), !locked);
            QCOMPARE(main().findChild<PropertyGridPanel *>(QStringLiteral("sGrid"))->isEnabled(), !locked);
            QCOMPARE(main().Actions().FileBar()->isEnabled(), !locked);
            QCOMPARE(item("miUndo")->isEnabled(), !locked); // also in the list's popup
            QTest::keyClick(&main(), Qt::Key_F4);
            QCOMPARE(main().ServoControlChild()->isVisible(), locked);
            // Except the take's: one over the program, which locks the interface, starts and stops by its key.
            QTest::keySequence(&main(), QKeySequence(QStringLiteral("Ctrl+R")));
            QCOMPARE(m_app->recorder().Recording(), locked);
            for (const auto &[key, name] : keys) {
                QSignalSpy triggered(item(name), &QAction::triggered);
                QTest::keySequence(&main(), QKeySequence(QString::fromLatin1(key)));
                QVERIFY2(triggered.size() == !locked, key);
            }
        }
        QVERIFY(!main().isVisible()); // Ctrl+Q
    }

    void gridSitsInTheSidePanelAndFollowsLoadedPrograms()
    {
        auto *panel = main().findChild<PropertyGridPanel *>(QStringLiteral("sGrid"));
        QVERIFY(panel->isVisible());
        QVERIFY(main().Side().rect().contains(QRect(panel->mapTo(&main().Side(), QPoint()), panel->size())));
        QVERIFY(main().ServoControlChild()->parentWidget()->width() >= main().ServoControlChild()->width());

        // A program read from disk shows its properties in the grid at once and
        // reopens the board with its baud rate.
        const QString path = m_app->listing().TempFilePath() + QStringLiteral(".tqp");
        WriteWholeFileBytes(path, ";SynchByte=200\r\n;CommPort=1\r\n;BaudRate=9600\r\nmov 3,127\r\n");
        m_app->commands().SetCurrentProgramPath(path);
        m_app->commands().LoadProgramFile();
        QCOMPARE(panel->Grid()->GridCellDisplayText(PropertyGridModel::SynchByte, 2), QStringLiteral("200"));
        QCOMPARE(panel->Grid()->GridCellDisplayText(PropertyGridModel::BaudRate, 2), QStringLiteral("9600"));
        QVERIFY(m_app->link().PortOpen());

        // A run that asks to go online shows "Online" in the grid, even when the port then fails.
        goOffline();
        QSignalSpy shown(panel->Grid()->model(), &QAbstractItemModel::dataChanged);
        m_app->session().GoOnline();
        QVERIFY(!shown.isEmpty());
        QCOMPARE(panel->Grid()->GridCellDisplayText(PropertyGridModel::CommPortStatus, 2), QStringLiteral("Online"));
    }

    // A name typed without an extension gets the filter's, so that Open lists the file.
    void saveDialogAddsTheFilterExtension()
    {
        WidgetFileDialogService dialogs;
        Services::setFileDialogs(&dialogs);
        for (const char *typed : {"walk", "jump.tqp"}) {
            fromMenu<QFileDialog>("miSaveAs", [typed](QFileDialog *dialog) {
                dialog->selectFile(QString::fromLatin1(typed));
                static_cast<QDialog *>(dialog)->accept(); // as the Save button does
            });
        }
        QCOMPARE(QDir(DataPaths::ProgramsFolder()).entryList(QDir::Files), (QStringList{"jump.tqp", "walk.tqp"}));
    }

    void fileDrops_data() { AddTestDataRows(QStringLiteral("mainwindow/file-drops.txt")); }
    void fileDrops()
    {
        QFETCH(QStringList, row);
        const QTemporaryDir elsewhere;
        const QString script = DataPaths::ScriptsFolder() + QStringLiteral("/nod.tqs");
        if (!row[2].isEmpty())
            WriteWholeFileBytes(script, row[2].toUtf8());
        QList<QUrl> urls;
        for (const QString &name : row[1].split(QLatin1Char(' '))) {
            const QString path = name.startsWith(QLatin1String("Scripts/")) ? DataPaths::ScriptsFolder() + name.mid(7)
                                                                            : elsewhere.filePath(name);
            WriteWholeFileBytes(path, name.endsWith(QLatin1String(".tqp")) ? "mov 1,10\r\n" : "pause 1");
            urls << QUrl::fromLocalFile(path);
        }
        QMimeData data;
        data.setUrls(urls);
        m_app->listing().AppendLine(QStringLiteral("Pause 9"), QStringLiteral("Log"));
        for (const QString &answer : row[4].split(QLatin1Char(' '), Qt::SkipEmptyParts))
            TestMessages().queueAnswer(MsgAnswer(kAnswers.indexOf(answer)));
        main().SetInterfaceLocked(row[3] == QLatin1String("yes"));
        QDragEnterEvent enter(QPoint(20, 20), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&main(), &enter);
        QCOMPARE(enter.isAccepted(), row[3].isEmpty());
        QDropEvent drop(QPoint(20, 20), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton, {});
        drop.setDropAction(Qt::MoveAction); // as the file manager proposes it with Shift held
        QApplication::sendEvent(&main(), &drop);
        QVERIFY(!drop.isAccepted() || drop.dropAction() == Qt::CopyAction); // a move deletes the user's files
        QCoreApplication::processEvents();
        QCOMPARE(m_app->listing().Items().join(QLatin1Char('/')), QString(row[5]).replace("$DIR", elsewhere.path()));
        QCOMPARE(TestMessages().takeTexts().size(), row[6].toInt());
        QCOMPARE(FileExistsOnDisk(script) ? ReadWholeFileBytes(script) : QByteArray(), row[7].toUtf8());
    }

    void closingAsksForAnUnsavedListing_data() { AddTestDataRows(QStringLiteral("mainwindow/closing-unsaved.txt")); }
    void closingAsksForAnUnsavedListing()
    {
        QFETCH(QStringList, row);
        const bool save = row[2] == QLatin1String("yes"), closes = row[3] == QLatin1String("yes");
        const QString saveAs = save ? DataPaths::ProgramsFolder() + QStringLiteral("/a.tqp") : QString();
        m_app->listing().AppendLine(QStringLiteral("Mov 1,1"), QStringLiteral("Log"));
        TestMessages().queueAnswer(MsgAnswer(kAnswers.indexOf(row[1])));
        m_dialogs.answers << saveAs;
        QCOMPARE(main().close(), closes);
        ExpectMessage(kSaveQuestion, MsgIcon::Question, MsgButtons::YesNoCancel);
        QCOMPARE(FileExistsOnDisk(saveAs), save);
        QCOMPARE(FileExistsOnDisk(m_app->listing().TempFilePath()), !closes);
        QCOMPARE(m_app->link().PortOpen(), !closes);
    }
};

TQ_TEST_GUI_MAIN(TestMainWindow)
#include "tst_MDIForm1.moc"
