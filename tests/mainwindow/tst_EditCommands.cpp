#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "app/StartUp.h"
#include "execution/frmExecution.h"
#include "link/LinkTestSupport.h"
#include "mainwindow/EditCommands.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/edit/frmEditMov.h"
#include "mainwindow/edit/frmEditPause.h"
#include "mainwindow/edit/frmScriptEdit.h"
#include "mainwindow/frmJawMoves.h"
#include "platform/Clock.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"
#include "servos/frmServoControl.h"
#include "shell/ApplicationMain.h"
#include "support/ModalDialogs.h"
#include "support/TestSupport.h"
#include "support/ToneFile.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineView.h"

#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QWindow>

namespace {

// What the dialog showed on opening; then fills it (the Mov value typed key by key, then the
// third input pasted; the pause pasted), presses Enter in the first field, and Cancel after a refusal.
QString answer(EditDialog *dialog, const QStringList &input)
{
    QStringList shown;
    if (auto *mov = qobject_cast<frmEditMov *>(dialog)) {
        shown = {mov->Combo1()->currentText(), mov->Text1()->text()};
        mov->Combo1()->setEditText(input.value(0));
        mov->Text1()->clear();
        QTest::keyClicks(mov->Text1(), input.value(1));
        mov->Text1()->insert(input.value(2));
    } else if (auto *pause = qobject_cast<frmEditPause *>(dialog)) {
        shown = {pause->Text1()->text()};
        pause->Text1()->setText(input.value(0));
    } else if (auto *script = qobject_cast<frmScriptEdit *>(dialog)) {
        shown = {script->windowTitle()};
        const QAbstractItemModel &names = *script->List1()->model();
        for (const QModelIndex &name :
             names.match(names.index(0, 0), Qt::DisplayRole, input.value(0), -1, Qt::MatchExactly))
            script->List1()->selectionModel()->select(name, QItemSelectionModel::Select);
    }
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    if (dialog->isVisible())
        dialog->Command2()->click();
    return shown.join(QLatin1Char(';'));
}

} // namespace

// Answers the file dialog with the row's file, keeping the name it opened with.
class TestEditCommands : public TestBase, public IFileDialogService
{
    Q_OBJECT

    std::unique_ptr<VirtualClock> m_clock;
    std::unique_ptr<VirtualBoard> m_board;
    std::unique_ptr<ApplicationMain> m_app;
    QString m_chosen;
    QString m_offered;

    QString choose(const FileDialogRequest &request) override
    {
        m_offered = request.fileName;
        return m_chosen;
    }

    MDIForm1 &main() { return *m_app->mainWindow(); }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        m_clock = std::make_unique<VirtualClock>();
        Services::setClock(m_clock.get());
        Services::setFileDialogs(this);
        m_board = std::make_unique<VirtualBoard>();
        MapPortToBoard(1, *m_board);
        m_app = std::make_unique<ApplicationMain>();
        QVERIFY(RunStartUp(*m_app));
        m_app->servos().SetLoadedScripts({QStringLiteral("wave.txt"), QStringLiteral("NOD.TQS")});
    }
    void cleanup()
    {
        m_app.reset();
        m_board.reset();
        Services::setFileDialogs(nullptr);
        Services::setClock(nullptr);
        m_clock.reset();
        TestBase::cleanup();
    }

    void commands_data() { AddTestDataRows(QStringLiteral("mainwindow/edit-commands.txt")); }
    void commands()
    {
        QFETCH(QStringList, row);
        const auto lines = [](const QString &text) { return text.split(QLatin1Char(';'), Qt::SkipEmptyParts); };
        const auto file = [](QString text) { return text.isEmpty() ? text : text.replace(';', "\r\n") + "\r\n"; };
        WriteWholeFile(m_app->listing().TempFilePath(), file(row[1]));
        QTest::keyClick(&main(), Qt::Key_F4);
        // The popup was opened on the first line before; the command must be one it offers now.
        for (const QString &line : {QStringLiteral("0"), row[2]}) {
            main().Edits().ShowPopup(line.toInt(), main().mapToGlobal(QPoint(40, 40)));
            main().Actions().ExecEditMenu()->hide();
        }
        QVERIFY(main().MenuItem(row[4])->isVisible());

        bool seen = false;
        if (!row[3].isEmpty()) {
            WhenShown<EditDialog>([](EditDialog *dialog) { dialog->Command2()->click(); }, &seen);
            main().MenuItem(row[3])->trigger();
            QVERIFY(seen);
        }
        const bool dialog = !row[4].contains(QLatin1String("wav"), Qt::CaseInsensitive) &&
                            row[4] != QLatin1String("miDeleteInstruction");
        QString shown;
        m_chosen = row[6];
        if (dialog)
            WhenShown<EditDialog>([&](EditDialog *d) { shown = answer(d, row[6].split(u';')); }, &seen);
        main().MenuItem(row[4])->trigger();
        QCOMPARE(dialog ? shown : m_offered, row[5]);
        if (!row[7].isEmpty())
            ExpectMessage(row[7], MsgIcon::Critical);
        // Back from the Servo Controller the listing is read again from the temporary file.
        QTest::keyClick(&main(), Qt::Key_F3);
        QTest::keyClick(&main(), Qt::Key_F4);
        QCOMPARE(m_app->listing().Items(), lines(row.value(8)));
        QCOMPARE(ReadWholeFileBytes(m_app->listing().TempFilePath()), file(row.value(8)).toUtf8());
    }

    void generateMovesFromSound()
    {
        // Cancel from the listing's popup leaves everything; OK from the sound's lane is one step.
        WriteToneSpans(QDir(DataPaths::UserDataFolder()).filePath(QStringLiteral("tone.wav")), {300, 700}, 1000);
        m_app->properties().SetValue(ProgramPropertyStore::Field::InterInstructionDelay, QStringLiteral("10"));
        ProgramListing &listing = m_app->listing();
        const QStringList program{QStringLiteral("Mov 3,5"), QStringLiteral("WAV tone.wav"),
                                  QStringLiteral("Pause 2000")};
        listing.Reset(program);
        QTest::keyClick(&main(), Qt::Key_F4);
        QAction *generate = main().MenuItem(QStringLiteral("miGenerateMoves"));
        auto *timeline = main().findChild<TimelineDock *>();
        for (const int line : {0, 1}) {
            main().Edits().ShowPopup(line, main().mapToGlobal(QPoint(40, 40)));
            QCOMPARE(generate->isEnabled(), line == 1);
            main().Actions().ExecEditMenu()->hide();
        }
        bool seen = false;
        WhenShown<frmJawMoves>(
            [&](frmJawMoves *dialog) {
                QTRY_COMPARE(timeline->View().Lanes().servos.size(), qsizetype(2)); // the jaw's lane, before it is kept
                dialog->reject();
            },
            &seen);
        generate->trigger();
        QVERIFY(seen && listing.Items() == program && listing.IsClean() && !listing.CanUndo() &&
                !timeline->isVisible());

        timeline->show();
        QTRY_COMPARE(timeline->View().Lanes().servos.size(), qsizetype(1)); // the preview is gone
        TimelineView &view = timeline->View();
        const QPoint at(view.XOf(500), view.LaneRect(1).center().y());
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &click);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu && menu->actions().contains(generate));
        WhenShown<frmJawMoves>([](frmJawMoves *dialog) { dialog->accept(); }, &(seen = false));
        menu->close();
        generate->trigger();
        QVERIFY(seen && listing.Items().size() > 4 && listing.Items().contains(QStringLiteral("Mov 0,127")));
        main().MenuItem(QStringLiteral("miUndo"))->trigger();
        QVERIFY(listing.Items() == program && listing.IsClean() && !listing.CanUndo());
    }

    void editKeys_data() { AddTestDataRows(QStringLiteral("mainwindow/edit-keys.txt")); }
    void editKeys()
    {
        QFETCH(QStringList, row);
        ProgramListing &listing = m_app->listing();
        main().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main()));
        listing.Reset(row[1].split(u';'));
        QGuiApplication::clipboard()->setText(row[2]);
        QTest::keyClick(&main(), Qt::Key_F4);
        QLineEdit edit(QStringLiteral("abc"), main().ExecutionWindow());
        edit.show();
        QListView *list = main().ExecutionWindow()->List1();
        for (const QString &key : row[3].split(u' ', Qt::SkipEmptyParts)) {
            bool isLine = false;
            const bool ctrl = key.startsWith(u'^');
            const int line = key.mid(ctrl).toInt(&isLine);
            if (isLine) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier,
                                  list->visualRect(listing.index(line)).center());
            } else if (key == QLatin1String("edit")) {
                edit.setFocus();
            } else if (key == QLatin1String("slider")) {
                main().ServoControl()->vscServo(0)->setFocus();
            } else if (key.startsWith(QLatin1String("pick:"))) {
                auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QAction *item = main().MenuItem(key.mid(5));
                QVERIFY2(popup && popup->actions().contains(item), qPrintable(key));
                bool seen = false;
                WhenShown<frmEditPause>(
                    [](frmEditPause *dialog) {
                        dialog->Text1()->setText(QStringLiteral("750"));
                        QTest::keyClick(dialog->Text1(), Qt::Key_Return);
                    },
                    &seen);
                popup->setActiveAction(item);
                QTest::keyClick(popup, Qt::Key_Return);
                main().activateWindow(); // as after a dialog on a desktop
                QVERIFY(QTest::qWaitForWindowActive(&main()));
            } else {
                QWidget *focus = QApplication::focusWidget();
                QTest::keySequence(focus ? focus : &main(), QKeySequence(key));
            }
        }
        QCOMPARE(listing.Items(), row[4].split(u';', Qt::SkipEmptyParts));
        QCOMPARE(main().MenuItem(QStringLiteral("miUndo"))->text(), row[5]);
        QCOMPARE(main().MenuItem(QStringLiteral("miRedo"))->text(), row[6]);
        QCOMPARE(QGuiApplication::clipboard()->text(), row[7]);
        if (!row[8].isEmpty())
            ExpectMessage(row[8], MsgIcon::Exclamation, MsgButtons::Ok);
        const bool modified = row[9] == QLatin1String("yes");
        QCOMPARE(main().isWindowModified(), modified);
        QCOMPARE(main().windowHandle()->title().contains(u'*'), modified);
        QCOMPARE(m_board->ReadAvailable(50), QByteArray()); // no servo moved
    }
};

TQ_TEST_GUI_MAIN(TestEditCommands)
#include "tst_EditCommands.moc"
