#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/mShellExecute.h"
#include "support/TestSupport.h"

#include <QFile>

class TestErrorReport : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void reportHasThreeLinesAndTheApplicationTitle()
    {
        ErrorReport(QStringLiteral("0141"), AppError::pathFileAccess());
        ExpectMessage(
            QStringLiteral("Routine Code: 0141\r\nError Numer: 75\r\nError Description: Path/File access error"),
            MsgIcon::None, MsgButtons::Ok, QStringLiteral("Taveloq"));
    }

    void dialogFiltersBecomeQtNameFilters_data() { AddTestDataRows(QStringLiteral("platform/name-filters.txt")); }
    void dialogFiltersBecomeQtNameFilters()
    {
        QFETCH(QStringList, row); // the filter's own '|' split it into all fields but the first and last
        QCOMPARE(ToQtNameFilters(row.mid(1, row.size() - 2).join(QLatin1Char('|'))),
                 row.last().split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }

    void showModeOfAProgram_data() { AddTestDataRows(QStringLiteral("platform/show-modes.txt")); }
    void showModeOfAProgram()
    {
        QFETCH(QStringList, row);
        QCOMPARE(mShellExecute::EffectiveShowMode(row[1], 10, row[2], row[3]), row[4].toInt());
    }

    void shellOpenFailuresAreRecordedNotShown_data()
    {
        QTest::addColumn<QStringList>("row"); // xdg-open on PATH, what is opened, handed over, error number, text
        for (const QStringList &row : TestDataRows(QStringLiteral("platform/shell-open.txt")))
            QTest::newRow(qPrintable(row[0] + QLatin1Char('/') + row[1])) << row;
    }
    void shellOpenFailuresAreRecordedNotShown()
    {
        QFETCH(QStringList, row);
        const ScopedPath path;
        if (row[0] == QLatin1String("not executable"))
            QVERIFY(QFile(path.dir.filePath(QStringLiteral("xdg-open"))).open(QIODevice::WriteOnly));
        else if (row[0] != QLatin1String("none"))
            path.AddScript(QStringLiteral("xdg-open"), row[0].toLatin1());
        const QString file = row[1].contains(QLatin1Char(':')) ? row[1] : path.dir.filePath(row[1]);
        ClearRecordedError();
        QCOMPARE(mShellExecute::GShell(file), row[2] == QLatin1String("true"));
        // A handler that was started records its failure when it ends.
        QTRY_COMPARE(LastRecordedError().number, row[3].toInt());
        QCOMPARE(LastRecordedError().description, row[4]);
        QCOMPARE(LastRecordedError().source, QStringLiteral("test_error_report.GShell"));
    }
};

TQ_TEST_MAIN(TestErrorReport)
#include "tst_ErrorReport.moc"
