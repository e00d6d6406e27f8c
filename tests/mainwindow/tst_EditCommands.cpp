#include "app/FileHelpers.h"
#include "app/ServoModel.h"
#include "app/StartUp.h"
#include "link/LinkTestSupport.h"
#include "mainwindow/EditCommands.h"
#include "mainwindow/MDIForm1.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/edit/frmEditMov.h"
#include "mainwindow/edit/frmEditPause.h"
#include "mainwindow/edit/frmScriptEdit.h"
#include "platform/Clock.h"
#include "platform/FileDialogService.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"
#include "shell/ApplicationMain.h"
#include "support/ModalDialogs.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

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
        for (QListWidgetItem *item : script->List1()->findItems(input.value(0), Qt::MatchExactly))
            item->setSelected(true);
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
};

TQ_TEST_GUI_MAIN(TestEditCommands)
#include "tst_EditCommands.moc"
