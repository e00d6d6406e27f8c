#include "program/InstructionSyntax.h"
#include "support/TestSupport.h"

class TestInstructionSyntax : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("accepted");

        for (const QStringList &row : TestDataRows(QStringLiteral("program/instruction-lines.txt")))
            QTest::newRow(qPrintable(row[0])) << row[1] << (row[2] == QLatin1String("yes"));
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(bool, accepted);
        QCOMPARE(IsAcceptedInstructionLine(line), accepted);
    }
};

TQ_TEST_MAIN(TestInstructionSyntax)
#include "tst_InstructionSyntax.moc"
