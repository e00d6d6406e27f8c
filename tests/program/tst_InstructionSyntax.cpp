#include "program/InstructionSyntax.h"
#include "support/TestSupport.h"

class TestInstructionSyntax : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void lines_data() { AddTestDataRows(QStringLiteral("program/instruction-lines.txt")); }
    void lines()
    {
        QFETCH(QStringList, row);
        QCOMPARE(IsAcceptedInstructionLine(row[1]), row[2] == QLatin1String("yes"));
    }
};

TQ_TEST_MAIN(TestInstructionSyntax)
#include "tst_InstructionSyntax.moc"
