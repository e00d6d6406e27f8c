#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ServoModel.h"
#include "library/frmLoadScript.h"
#include "library/frmSaveScript.h"
#include "link/LinkTestSupport.h"
#include "mainwindow/MDIForm1.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "program/ProgramCommands.h"
#include "program/ProgramListing.h"
#include "servos/frmServoControl.h"
#include "shell/ApplicationMain.h"
#include "support/ModalDialogs.h"
#include "support/TestSupport.h"

#include <QListView>
#include <QMenu>

class TestScriptLibrary : public TestBase
{
    Q_OBJECT

    VirtualClock m_clock;
    std::unique_ptr<VirtualBoard> m_board;
    std::unique_ptr<ApplicationMain> m_app;

    QString scriptPath(const QString &name) { return DataPaths::ScriptsFolder() + QLatin1Char('/') + name; }
    QAction *item(const char *name) { return m_app->mainWindow()->MenuItem(QString::fromLatin1(name)); }
    template <typename T> void fromMenu(const char *name, std::function<void(T *)> act)
    {
        bool shown = false; // a dialog not shown fails the checks of what it did
        WhenShown<T>(act, &shown);
        item(name)->trigger();
    }

private Q_SLOTS:
    void init()
    {
        m_app.reset(); // the previous test's, closed before its files go
        TestBase::init();
        Services::setClock(&m_clock);
        m_board = std::make_unique<VirtualBoard>();
        MapPortToBoard(1, *m_board);
        m_app = std::make_unique<ApplicationMain>();
        QVERIFY(RunStartUp(*m_app));
    }

    void loadScripts_data() { AddTestDataRows(QStringLiteral("library/load-scripts.txt")); }
    void loadScripts()
    {
        QFETCH(QStringList, row);
        for (const char *name : {"c.tqs", "a.tqs", "b.tqs", "d.tqp", "\xe9.TQS"}) // the last named on an older system
            WriteNativeFile(QFile::encodeName(scriptPath(QString())) + name, "");
        m_app->servos().SetLoadedScripts({QStringLiteral("b.tqs")});
        QStringList offered;
        fromMenu<frmLoadScript>("miLoadScript", [&](frmLoadScript *dialog) {
            const QAbstractItemModel &available = *dialog->lstAvailable()->model();
            for (int i = 0; i < available.rowCount(); ++i)
                offered << available.index(i, 0).data().toString();
            for (const QString &click : row[1].split(QLatin1Char(' '))) {
                if (click == QLatin1String("c"))
                    dialog->lstAvailable()->setCurrentIndex(available.index(1, 0));
                for (QPushButton *button : dialog->findChildren<QPushButton *>())
                    if (button->text() == click)
                        button->click();
            }
        });
        QCOMPARE(offered, (QStringList{"a.tqs", "c.tqs", "\u00e9.TQS"})); // the loaded b.tqs is not offered
        QCOMPARE(TestMessages().takeTexts().join(QStringLiteral(" + ")), row[3]);
        const QStringList loaded = row[2].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QCOMPARE(m_app->servos().LoadedScripts(), loaded);
        // The Selected commands need a selected script, not just a current row.
        QListView *list = m_app->mainWindow()->ServoControl()->File1();
        for (const auto selection : {QItemSelectionModel::Clear, QItemSelectionModel::ClearAndSelect}) {
            const bool selected = selection == QItemSelectionModel::ClearAndSelect && !loaded.empty();
            list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), selection);
            item("miScripts")->menu()->popup(QPoint());
            item("miScripts")->menu()->hide();
            QCOMPARE(item("miRemoveAllScripts")->isEnabled() + item("miRemoveSelScript")->isEnabled() +
                         item("miInsSelScript")->isEnabled(),
                     !loaded.empty() + 2 * selected);
            item("miRemoveSelScript")->trigger();
            QCOMPARE(m_app->servos().LoadedScripts(), selected ? loaded.mid(1) : loaded);
        }
    }

    void saveAsScript_data() { AddTestDataRows(QStringLiteral("library/save-script.txt")); }
    void saveAsScript()
    {
        QFETCH(QStringList, row);
        const QString &listing = row[1], &existing = row[2], &written = row[5];
        WriteWholeFileBytes(m_app->listing().TempFilePath(), listing.toUtf8());
        if (existing == QLatin1String("/"))
            QDir(DataPaths::ScriptsFolder()).removeRecursively();
        else if (!existing.isEmpty())
            WriteWholeFileBytes(scriptPath(existing), "old");
        m_app->commands().SetCurrentProgramPath(QStringLiteral("/p/prog.tqp"));
        TestMessages().queueAnswer(row[4] == QLatin1String("yes") ? MsgAnswer::Yes : MsgAnswer::No);
        bool stayed = false;
        fromMenu<frmSaveScript>("miSaveAsScript", [&](frmSaveScript *dialog) {
            dialog->txtName()->setText(row[3]);
            dialog->cmdOK()->click();
            stayed = dialog->isVisible();
            dialog->cmdCancel()->click();
        });
        QCOMPARE(stayed, written.isEmpty());
        QCOMPARE(TestMessages().takeTexts().join(QStringLiteral(" + ")), row[7]);
        const QStringList after = QDir(DataPaths::ScriptsFolder()).entryList(QDir::Files);
        QCOMPARE(after.join(QLatin1Char(' ')), row[6]);
        for (const QString &file : after)
            QCOMPARE(ReadWholeFileBytes(scriptPath(file)), file == written ? listing.toUtf8() : QByteArray("old"));
        QCOMPARE(m_app->commands().CurrentProgramPath(), QStringLiteral("/p/prog.tqp"));
    }
};

TQ_TEST_GUI_MAIN(TestScriptLibrary)
#include "tst_ScriptLibrary.moc"
