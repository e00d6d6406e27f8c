#include "program/InstructionSyntax.h"
#include "support/TestSupport.h"

namespace {

// As the table writes a reading.
QString reading(const Instruction &i)
{
    const auto field = [](const QString &text) { return u'[' + text + u']'; };
    switch (i.kind) {
    case InstructionKind::Mov:
        return i.split ? QStringLiteral("mov ") + field(i.servo) + u' ' + field(i.position) : QStringLiteral("mov ?");
    case InstructionKind::Pause:
        return QStringLiteral("pause ") + field(i.milliseconds);
    case InstructionKind::Script:
        return QStringLiteral("script ") + field(i.name);
    case InstructionKind::Wav:
        return QStringLiteral("wav ") + field(i.name);
    case InstructionKind::None:
        break;
    }
    return QStringLiteral("-");
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
