#include "program/InstructionSyntax.h"
#include "support/TestSupport.h"

namespace {

// As the table writes a reading: the kind, then its fields in brackets.
QString reading(const Instruction &i)
{
    const QString kind = QStringList{"-", "mov", "pause", "script", "wav"}.at(int(i.kind));
    if (i.kind == InstructionKind::None)
        return kind;
    if (i.kind == InstructionKind::Mov)
        return kind + (i.split ? QStringLiteral(" [%1] [%2]").arg(i.servo, i.position) : QStringLiteral(" ?"));
    // Only one of the two is the kind's own; the other must stay empty.
    return kind + QStringLiteral(" [") + i.milliseconds + i.name + u']';
}

} // namespace

class TestInstructionSyntax : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void lines_data() { AddTestDataRows(QStringLiteral("program/instruction-lines.txt")); }
    void lines()
    {
        QFETCH(QStringList, row);
        QCOMPARE(IsAcceptedInstructionLine(row[1]), row[2] == QLatin1String("yes"));
        QCOMPARE(reading(ParseInstruction(row[1])), row[3]);
        QCOMPARE(reading(ParseInstruction(row[1], KeywordMatch::Loose)), row[4] == u'=' ? row[3] : row[4]);
    }
};

TQ_TEST_MAIN(TestInstructionSyntax)
#include "tst_InstructionSyntax.moc"
