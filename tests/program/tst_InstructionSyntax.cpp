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

        // Keywords in any letter case; the line is kept as written elsewhere.
        QTest::newRow("mov lower") << "mov 3,127" << true;
        QTest::newRow("mov capital") << "Mov 3,127" << true;
        QTest::newRow("mov upper") << "MOV 3,127" << true;
        QTest::newRow("mov grouped digits") << "mov 1,2,3" << true;
        QTest::newRow("mov decimal") << "mov 3,127.5" << true;
        QTest::newRow("mov space after comma") << "mov 3, 127" << false;
        QTest::newRow("mov leading comma") << "mov ,127" << false;
        QTest::newRow("mov trailing comma") << "mov 3,127," << false;
        QTest::newRow("mov without comma") << "mov 312" << false;
        QTest::newRow("mov two spaces") << "mov  3,127" << false;
        QTest::newRow("mov letters") << "mov a,b" << false;
        QTest::newRow("mov nothing") << "mov " << false;
        QTest::newRow("mov no space") << "mov3,127" << false;
        QTest::newRow("mov trailing blank") << "mov 3,127 " << false;
        QTest::newRow("move is not mov") << "move 3,127" << false;

        QTest::newRow("pause") << "pause 500" << true;
        QTest::newRow("PAUSE") << "PAUSE 500" << true;
        QTest::newRow("pause grouped") << "pause 1,000" << true;
        QTest::newRow("pause negative") << "pause -5" << true; // range is the player's business
        QTest::newRow("pause inner space") << "pause 5 00" << false;
        QTest::newRow("pause letters") << "pause abc" << false;
        QTest::newRow("pause empty") << "pause " << false;

        QTest::newRow("script") << "script wave.tqs" << true;
        QTest::newRow("script with spaces") << "Script my  big wave.tqs" << true;
        QTest::newRow("script upper extension") << "script wave.TQS" << false;
        QTest::newRow("script no extension") << "script wave" << false;
        QTest::newRow("wav") << "wav hello.wav" << true;
        QTest::newRow("wav upper extension") << "wav hello.WAV" << false;
        QTest::newRow("WAV keyword") << "WAV hello.wav" << true;
        QTest::newRow("wav no space") << "wavhello.wav" << false;
        QTest::newRow("script no space") << "scriptwave.tqs" << false;

        QTest::newRow("empty") << "" << false;
        QTest::newRow("comment") << "' note" << false;
        QTest::newRow("blank") << " " << false;
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
