#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/mShellExecute.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

class TestErrorReport : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void reportHasThreeLinesAndTheApplicationTitle()
    {
        ErrorReport(QStringLiteral("0141"), AppError::pathFileAccess());
        const QList<MessageRequest> shown = TestMessages().take();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].title, QStringLiteral("Taveloq"));
        QCOMPARE(shown[0].buttons, MsgButtons::Ok);
        QCOMPARE(shown[0].icon, MsgIcon::None);
        QCOMPARE(shown[0].text,
                 QStringLiteral("Routine Code: 0141\r\nError Numer: 75\r\nError Description: Path/File access error"));
    }

    void dialogFiltersBecomeQtNameFilters()
    {
        QCOMPARE(ToQtNameFilters(QStringLiteral("Program Files (*.tqp)|*.tqp|All Files (*.*)|*.*")),
                 (QStringList{QStringLiteral("Program Files (*.tqp)"), QStringLiteral("All Files (*)")}));
        QCOMPARE(ToQtNameFilters(QStringLiteral("Basic Stamp|*.bs2;*.bsx")),
                 QStringList{QStringLiteral("Basic Stamp (*.bs2 *.bsx)")});
        QCOMPARE(ToQtNameFilters(QStringLiteral("WAV Files    *.wav|*.wav")),
                 QStringList{QStringLiteral("WAV Files (*.wav)")});
        QCOMPARE(ToQtNameFilters(QStringLiteral("dangling")), QStringList{});
    }

    void showModeOfAProgram_data()
    {
        QTest::addColumn<QStringList>("call"); // file, parameters, folder
        QTest::addColumn<int>("showMode");
        QTest::newRow("program, parameters") << QStringList{"SETUP.EXE", "-q", ""} << 0;
        QTest::newRow("program, folder") << QStringList{"tools/Run.Exe", "", "/tmp"} << 0;
        QTest::newRow("program alone") << QStringList{"setup.exe", "", ""} << 1;
        QTest::newRow("document, parameters") << QStringList{"notes.txt", "-q", ""} << 10;
        QTest::newRow("document alone") << QStringList{"notes.txt", "", ""} << 1;
    }
    void showModeOfAProgram()
    {
        QFETCH(QStringList, call);
        QTEST(mShellExecute::EffectiveShowMode(call[0], 10, call[1], call[2]), "showMode");
    }

    void shellOpenFailuresAreRecordedNotShown_data()
    {
        for (const char *column : {"handler", "target", "opened", "number", "text"})
            QTest::addColumn<QString>(column);
        for (const QStringList &row : TestDataRows(QStringLiteral("platform/shell-open.txt")))
            QTest::newRow(qPrintable(row[0] + QLatin1Char('/') + row[1]))
                << row[0] << row[1] << row[2] << row[3] << row[4];
    }
    void shellOpenFailuresAreRecordedNotShown()
    {
        QFETCH(QString, handler);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString bin = dir.filePath(QStringLiteral("bin"));
        QDir().mkdir(bin);
        if (handler.startsWith(QLatin1String("exit ")))
            WriteScript(bin + QStringLiteral("/xdg-open"), handler.toLatin1());
        else if (handler == QLatin1String("not executable"))
            QFile(bin + QStringLiteral("/xdg-open")).open(QIODevice::WriteOnly);
        QString file = QStringLiteral("https://taveloq.example.org/guide");
        if (target == QLatin1String("missing file"))
            file = dir.filePath(QStringLiteral("walk.tqp"));
        else if (target == QLatin1String("missing folder"))
            file = dir.filePath(QStringLiteral("gone/walk.tqp"));
        else if (target == QLatin1String("unreadable")) {
            if (::geteuid() == 0)
                QSKIP("root reads every file");
            file = dir.filePath(QStringLiteral("secret.tqp"));
            QFile(file).open(QIODevice::WriteOnly);
            QFile::setPermissions(file, QFile::WriteOwner);
        }

        const ScopedPath path(bin);
        ClearRecordedError();
        QFETCH(QString, opened);
        QCOMPARE(mShellExecute::GShell(file), opened == QLatin1String("true"));
        // A handler that was started reports its failure when it ends.
        QFETCH(QString, number);
        QTRY_COMPARE(LastRecordedError().number, number.toInt());
        QTEST(LastRecordedError().description, "text");
        QCOMPARE(LastRecordedError().source, QStringLiteral("test_error_report.GShell"));
        QVERIFY(TestMessages().take().isEmpty());
    }
};

TQ_TEST_MAIN(TestErrorReport)
#include "tst_ErrorReport.moc"
