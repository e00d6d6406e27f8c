#include "TraceRecorder.h"

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "execution/ExecutionEngine.h"
#include "execution/RunMailbox.h"
#include "support/TestSupport.h"

#include <QDir>

// Expected trace lines, "<ms> <event>".
using trace = QStringList;

class TestExecutionEngine : public TestBase
{
    Q_OBJECT

    std::unique_ptr<VirtualClock> m_clockOwner;
    std::unique_ptr<TraceRecorder> m_traceOwner;
    TraceRecorder &rec() { return *m_traceOwner; }
    VirtualClock &vclock() { return *m_clockOwner; }
    RunMailbox m_mailbox;
    std::unique_ptr<ExecutionEngine> m_engine;
    // What the next run starts from.
    ProgramProperties m_props;
    std::array<qint16, kServoCount> m_positions{};

    RunRequest request(const QStringList &items, ExecutionMode mode = ExecutionMode::Once, int selected = -1)
    {
        RunRequest r;
        r.items = items;
        r.mode = mode;
        r.selectedLine = selected;
        r.properties = m_props;
        r.positions = m_positions;
        r.scriptsFolder = DataPaths::ScriptsFolder();
        return r;
    }
    RunOutcome run(const RunRequest &r) { return m_engine->Run(r); }
    void writeScript(const QString &name, const QString &text)
    {
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + QLatin1Char('/') + name, text));
    }
    QString scriptPath(const QString &name) const { return DataPaths::ScriptsFolder() + QLatin1Char('/') + name; }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        m_engine.reset();
        m_traceOwner.reset();
        m_clockOwner = std::make_unique<VirtualClock>();
        m_traceOwner = std::make_unique<TraceRecorder>(*m_clockOwner);
        m_mailbox.TakeAll();
        m_props = {};
        m_positions = {};
        m_engine = std::make_unique<ExecutionEngine>(
            ExecutionEngine::Context{&rec(), &vclock(), &rec(), &TestMessages(), &rec(), &m_mailbox});
    }

    void executeOnceTrace()
    {
        const RunOutcome out = run(request({"Mov 3,127", "pause 500", "WAV sounds/hello.wav", "mov 0,200"}));
        QCOMPARE(out.end, RunOutcome::End::Completed);
        QCOMPARE(rec().lines(),
                 trace({"0 select 0", "0 progress 25", "0 frame FF 03 7F", "0 wait 1000", "1000 select 1",
                        "1000 progress 50", "1000 wait 500", "1500 wait 1000", "2500 select 2", "2500 progress 75",
                        "2500 sound " + DataPaths::UserDataFolder() + "/sounds/hello.wav", "2500 select 3",
                        "2500 progress 100", "2500 frame FF 00 C8", "2500 wait 1000"}));
        QCOMPARE(out.positions[3], qint16(127));
        QCOMPARE(out.positions[0], qint16(200));
    }

    void centringComesFirstExceptInStepMode()
    {
        m_props.ServoCenter = QStringLiteral("100");
        m_props.SynchByte = QStringLiteral("254");
        RunRequest r = request({"mov 1,5"});
        r.center = true;
        run(r);
        QStringList expected;
        for (int servo = 0; servo < 16; ++servo)
            expected.append(
                QStringLiteral("0 frame FE %1 64").arg(QString::number(servo, 16).toUpper(), 2, QLatin1Char('0')));
        expected +=
            trace({"0 wait 1000", "1000 select 0", "1000 progress 100", "1000 frame FE 01 05", "1000 wait 1000"});
        QCOMPARE(rec().lines(), expected);

        rec().clear();
        r.mode = ExecutionMode::StepOneLine;
        r.selectedLine = 0;
        run(r);
        QCOMPARE(rec().only({"frame", "wait"}), trace({"2000 frame FE 01 05", "2000 wait 1000"}));
    }

    void progressRoundsHalvesToEven()
    {
        // Eight lines are run in the controller test. Exact arithmetic: 23 of 40 is 57.5,
        // which binary fractions would make 57.4999.
        QCOMPARE(ExecutionEngine::ProgressPercent(22, 40), 58);
        QCOMPARE(ExecutionEngine::ProgressPercent(0, 3), 33);
        QCOMPARE(ExecutionEngine::ProgressPercent(0, 8), 12);
    }

    void runToSelected()
    {
        m_props.InterInstructionDelay = QStringLiteral("10");
        const QStringList five{"mov 0,1", "mov 0,2", "mov 0,3", "mov 0,4", "mov 0,5"};
        const RunOutcome out = run(request(five, ExecutionMode::RunToSelected, 2));
        QCOMPARE(out.end, RunOutcome::End::Completed);
        QCOMPARE(rec().only({"select", "progress", "frame"}),
                 trace({"0 select 0", "0 progress 33", "0 frame FF 00 01", "10 select 1", "10 progress 67",
                        "10 frame FF 00 02", "20 select 2", "20 progress 100", "20 frame FF 00 03"}));

        rec().clear();
        QCOMPARE(run(request(five, ExecutionMode::RunToSelected, -1)).end, RunOutcome::End::Completed);
        QVERIFY(rec().lines().isEmpty());
    }

    void stepOneLine()
    {
        const QStringList three{"mov 0,1", "mov 0,2", "mov 0,3"};
        run(request(three, ExecutionMode::StepOneLine, 2));
        QCOMPARE(rec().lines(), trace({"0 frame FF 00 03", "0 wait 1000", "1000 select 0"}));

        rec().clear();
        run(request(three, ExecutionMode::StepOneLine, 0));
        QCOMPARE(rec().only({"frame", "select", "progress"}), trace({"1000 frame FF 00 01", "2000 select 1"}));

        rec().clear();
        run(request(three, ExecutionMode::StepOneLine, -1));
        QCOMPARE(rec().lines(), trace({"2000 select 0"}));
    }

    void smartDelayExamples()
    {
        m_props.InterInstructionDelay = QStringLiteral("Smart");
        m_props.SmartDelay = QStringLiteral("3");
        m_positions[2] = 100;
        run(request({"Mov 2,150", "Pause 500", "mov 2,140"}));
        QCOMPARE(rec().only({"wait"}), trace({"0 wait 150", "150 wait 500", "650 wait 0", "650 wait 30"}));

        // A rating is used as a whole number: 1.27 waits 1 ms per unit.
        rec().clear();
        m_props.SmartDelay = QStringLiteral("1.27");
        m_positions[2] = 0;
        run(request({"mov 2,200"}));
        QCOMPARE(rec().only({"wait"}), trace({"680 wait 200"}));

        rec().clear();
        m_props.InterInstructionDelay = QStringLiteral("1000");
        m_positions[2] = 100;
        run(request({"Mov 2,150", "Pause 500"}));
        QCOMPARE(rec().only({"wait"}), trace({"880 wait 1000", "1880 wait 500", "2380 wait 1000"}));
    }

    void longestWaitIsCapped()
    {
        // The largest rating times a move from a refused position: the deadline must not wrap.
        m_props.InterInstructionDelay = QStringLiteral("Smart");
        m_props.SmartDelay = QStringLiteral("2147483647");
        m_positions[2] = -32768;
        rec().hook = [this](const QString &e) {
            if (e.startsWith(QLatin1String("wait")))
                vclock().advanceNs(ExecutionEngine::kMaxWaitMs * 1'000'000 - 100'000'000);
        };
        run(request({"mov 2,255"}));
        QCOMPARE(rec().only({"wait"}), trace({"0 wait 2147483647"}));
        QCOMPARE(vclock().nowNs(), ExecutionEngine::kMaxWaitMs * 1'000'000);
    }

    void negativeWaitsTakeNoTime()
    {
        m_props.InterInstructionDelay = QStringLiteral("-100");
        run(request({"pause -5", "mov 1,1"}));
        QCOMPARE(rec().only({"wait", "select"}),
                 trace({"0 select 0", "0 wait 0", "0 wait 0", "0 select 1", "0 wait 0"}));
    }

    void scheduleDoesNotDriftWithSlowWrites()
    {
        // Each write takes 7 ms: the lines still start every 100 ms, not every 107.
        m_props.InterInstructionDelay = QStringLiteral("100");
        rec().writeCostNs = 7'000'000;
        run(request({"mov 0,1", "mov 0,2", "mov 0,3", "mov 0,4"}));
        QCOMPARE(rec().only({"select"}), trace({"0 select 0", "100 select 1", "200 select 2", "300 select 3"}));
        QCOMPARE(vclock().nowNs(), qint64(400'000'000));
    }

    void stopTakesEffectAtTheYield()
    {
        m_props.InterInstructionDelay = QStringLiteral("100");
        const QStringList four{"mov 0,1", "mov 0,2", "mov 0,3", "mov 0,4"};
        rec().hook = [this](const QString &e) {
            if (e == QLatin1String("select 1"))
                m_mailbox.Post(RunMailbox::Kind::Stop);
        };
        // Execute once: the instruction under way finishes with its delay; the
        // run stops at the next yield.
        RunOutcome out = run(request(four));
        QCOMPARE(out.end, RunOutcome::End::Stopped);
        QCOMPARE(rec().only({"select", "frame", "wait"}),
                 trace({"0 select 0", "0 frame FF 00 01", "0 wait 100", "100 select 1", "100 frame FF 00 02",
                        "100 wait 100"}));

        // Loop: the Stop test comes before the yield, so one more line runs.
        rec().clear();
        m_mailbox.TakeAll();
        out = run(request(four, ExecutionMode::Loop));
        QCOMPARE(out.end, RunOutcome::End::StoppedThenEnded);
        QCOMPARE(rec().only({"select"}), trace({"200 select 0", "300 select 1", "400 select 2"}));

        // Run to selected stops like Execute once.
        rec().clear();
        m_mailbox.TakeAll();
        out = run(request(four, ExecutionMode::RunToSelected, 3));
        QCOMPARE(out.end, RunOutcome::End::Stopped);
        QCOMPARE(rec().only({"select"}), trace({"500 select 0", "600 select 1"}));
    }

    void loopRepeatsUntilStopped()
    {
        m_props.InterInstructionDelay = QStringLiteral("10");
        int zeroes = 0;
        rec().hook = [&](const QString &e) {
            if (e == QLatin1String("select 0") && ++zeroes == 3)
                m_mailbox.Post(RunMailbox::Kind::Stop);
        };
        run(request({"mov 0,1", "mov 0,2"}, ExecutionMode::Loop));
        QCOMPARE(rec().only({"select", "progress"}),
                 trace({"0 select 0", "0 progress 50", "10 select 1", "10 progress 100", "20 select 0",
                        "20 progress 50", "30 select 1", "30 progress 100", "40 select 0", "40 progress 50",
                        "50 select 1", "50 progress 100"}));
    }

    void loopThatTakesNoTimeComesRoundOnceAMillisecond()
    {
        int sounds = 0;
        rec().hook = [&](const QString &e) {
            if (e.startsWith(QLatin1String("sound")) && ++sounds == 3)
                m_mailbox.Post(RunMailbox::Kind::Stop);
        };
        run(request({"WAV /a.wav"}, ExecutionMode::Loop));
        QCOMPARE(rec().only({"sound"}),
                 trace({"0 sound /a.wav", "1 sound /a.wav", "2 sound /a.wav", "3 sound /a.wav"}));
    }

    void pauseHoldsAtTheYieldAndResumesOnANewSchedule()
    {
        m_props.InterInstructionDelay = QStringLiteral("100");
        rec().hook = [this](const QString &e) {
            if (e == QLatin1String("select 1"))
                m_mailbox.Post(RunMailbox::Kind::Pause);
            if (e == QLatin1String("paused")) {
                // The user takes five seconds before Execute resumes.
                vclock().advanceNs(5'000'000'000);
                m_mailbox.Post(RunMailbox::Kind::Resume);
            }
        };
        // The missing script asks for a stop; the resume clears that request too.
        const RunOutcome out = run(request({"mov 0,1", "script gone.tqs", "mov 0,3"}));
        QCOMPARE(out.end, RunOutcome::End::Completed);
        QCOMPARE(rec().only({"select", "frame", "wait", "paused"}),
                 trace({"0 select 0", "0 frame FF 00 01", "0 wait 100", "100 select 1", "100 paused", "5100 select 2",
                        "5100 frame FF 00 03", "5100 wait 100"}));
        QCOMPARE(TestMessages().takeTexts().size(), 1);
    }

    void stopWhilePausedInLoopModeRunsOneMoreLine()
    {
        rec().hook = [this](const QString &e) {
            if (e == QLatin1String("select 0"))
                m_mailbox.Post(RunMailbox::Kind::Pause);
            if (e == QLatin1String("paused"))
                m_mailbox.Post(RunMailbox::Kind::Stop);
        };
        const RunOutcome out = run(request({"mov 0,1", "mov 0,2", "mov 0,3"}, ExecutionMode::Loop));
        QCOMPARE(out.end, RunOutcome::End::StoppedThenEnded);
        QCOMPARE(rec().only({"select", "paused"}), trace({"0 select 0", "1000 paused", "1000 select 1"}));
    }

    void listingEditsArriveAtTheYield()
    {
        m_props.InterInstructionDelay = QStringLiteral("10");
        rec().hook = [this](const QString &e) {
            if (e == QLatin1String("frame FF 00 01"))
                m_mailbox.PostListing({"mov 0,1", "mov 5,5"});
        };
        // The count of an Execute-once run is taken at its start; lines gone
        // by then end the run normally.
        const RunOutcome out = run(request({"mov 0,1", "mov 0,2", "mov 0,3"}));
        QCOMPARE(out.end, RunOutcome::End::Completed);
        QCOMPARE(rec().only({"frame", "progress"}),
                 trace({"0 progress 33", "0 frame FF 00 01", "10 progress 100", "10 frame FF 05 05"}));
    }

    void scriptsRunWholeWithoutYielding()
    {
        m_props.InterInstructionDelay = QStringLiteral("10");
        // A name outside Latin-1 survives the file and finds its file.
        writeScript(QStringLiteral("wave.tqs"), QStringLiteral("mov 1,10\r\npause 5\r\nscript \u015dipo.tqs\r\n"));
        writeScript(QStringLiteral("\u015dipo.tqs"), QStringLiteral("mov 1,20\r\n"));
        rec().hook = [this](const QString &e) {
            if (e == QLatin1String("frame FF 01 0A"))
                m_mailbox.Post(RunMailbox::Kind::Stop);
        };
        // Found ignoring letter case; the Stop waits until the whole script has run.
        const RunOutcome out = run(request({"Script Wave.TQS", "mov 0,0"}));
        QCOMPARE(out.end, RunOutcome::End::Stopped);
        QCOMPARE(rec().lines(), trace({"0 select 0", "0 progress 50", "0 frame FF 01 0A", "0 wait 10", "10 wait 5",
                                       "15 wait 10", "25 frame FF 01 14", "25 wait 10"}));
    }

    void missingScriptStopsALoopButOnlyEndsAStep()
    {
        m_props.InterInstructionDelay = QStringLiteral("0");
        const QStringList lines{"mov 1,1", "script gone.tqs", "mov 1,2"};
        const QString message = QStringLiteral("The Script ( ") + scriptPath(QStringLiteral("gone.tqs")) +
                                QStringLiteral(" ) can not be found. Execution will be terminated.");

        RunOutcome out = run(request(lines, ExecutionMode::Loop));
        QCOMPARE(out.end, RunOutcome::End::StoppedThenEnded);
        QCOMPARE(rec().only({"select", "frame"}), trace({"0 select 0", "0 frame FF 01 01", "0 select 1"}));
        ExpectMessage(message, MsgIcon::Critical);

        rec().clear();
        out = run(request(lines, ExecutionMode::StepOneLine, 1));
        QCOMPARE(out.end, RunOutcome::End::Completed);
        QCOMPARE(rec().lines(), trace({"0 select 2"}));
        QCOMPARE(TestMessages().takeTexts(), QStringList{message});
    }

    void selfCallingScriptHitsTheNestingLimit()
    {
        m_props.InterInstructionDelay = QStringLiteral("0");
        writeScript(QStringLiteral("self.tqs"), QStringLiteral("mov 1,5\r\nscript self.tqs\r\nmov 1,6\r\n"));
        const RunOutcome out = run(request({"script self.tqs", "mov 2,2"}));
        QCOMPARE(out.end, RunOutcome::End::Stopped);
        // Sixteen levels each send their first frame; the chain then unwinds
        // without running the rest of any level.
        QCOMPARE(rec().only({"frame"}), QStringList(16, QStringLiteral("0 frame FF 01 05")));
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{QStringLiteral("The Script ( ") + scriptPath(QStringLiteral("self.tqs")) +
                             QStringLiteral(" ) is called more than 16 scripts deep. Execution will be terminated.")});
    }

    void badMovLinesReportAndTheRunGoesOn_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("error");
        QTest::newRow("servo out of range") << "mov 16,100" << 9;
        QTest::newRow("negative servo") << "mov -1,100" << 9;
        QTest::newRow("position out of range") << "mov 1,300" << 5;
        QTest::newRow("no comma") << "mov 1" << 5;
        QTest::newRow("letters") << "mov a,1" << 13;
        QTest::newRow("position overflows 16 bits") << "mov 1,40000" << 6;
        QTest::newRow("pause not a number") << "pause x" << 13;
    }
    void badMovLinesReportAndTheRunGoesOn()
    {
        QFETCH(QString, line);
        QFETCH(int, error);
        m_props.InterInstructionDelay = QStringLiteral("10");
        run(request({line, "mov 2,2"}));
        QCOMPARE(rec().only({"frame", "wait"}), trace({"0 frame FF 02 02", "0 wait 10"}));
        const QStringList texts = TestMessages().takeTexts();
        QCOMPARE(texts.size(), 1);
        QVERIFY2(texts.at(0).startsWith(QStringLiteral("Routine Code: 0106\r\nError Numer: %1\r\n").arg(error)),
                 qPrintable(texts.at(0)));
    }

    void refusedPositionIsStillRemembered()
    {
        const RunOutcome out = run(request({"mov 1,300"}));
        QCOMPARE(out.positions[1], qint16(300));
        QCOMPARE(TestMessages().takeTexts().size(), 1);
    }

    void vanishedBoardStopsTheRunWithoutAnotherReport()
    {
        rec().failFramesFrom = 1;
        const RunOutcome out = run(request({"mov 0,1", "mov 0,2", "mov 0,3"}, ExecutionMode::Loop));
        QCOMPARE(out.end, RunOutcome::End::StoppedThenEnded);
        QCOMPARE(rec().only({"frame", "select"}), trace({"0 select 0", "0 frame FF 00 01", "1000 select 1"}));

        // Gone while the servos are being centred: no wait, no line, no second report.
        rec().clear();
        rec().failFramesFrom = 4; // counted from the first run above, which sent one
        RunRequest centred = request({"mov 0,1"});
        centred.center = true;
        QCOMPARE(run(centred).end, RunOutcome::End::Stopped);
        QCOMPARE(rec().lines(), trace({"1000 frame FF 00 7F", "1000 frame FF 01 7F", "1000 frame FF 02 7F"}));
    }

    void badCentreFailsTheRun()
    {
        m_props.ServoCenter = QStringLiteral("middle");
        RunRequest r = request({"mov 0,1"});
        r.center = true;
        const RunOutcome out = run(r);
        QCOMPARE(out.end, RunOutcome::End::Failed);
        QVERIFY(!out.locked);
        QVERIFY(rec().lines().isEmpty());
        QCOMPARE(
            TestMessages().takeTexts(),
            QStringList{QStringLiteral("Routine Code: 0101\r\nError Numer: 13\r\nError Description: Type mismatch")});
    }
};

TQ_TEST_MAIN(TestExecutionEngine)
#include "tst_ExecutionEngine.moc"
