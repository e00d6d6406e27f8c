#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/PlaybackThread.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include "FakeExecutionHost.h"
#include "link/LinkTestSupport.h"

#include <QDir>
#include <QSignalSpy>

class TestExecutionController : public TestBase
{
    Q_OBJECT

    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<VirtualClock> m_clock;
    ProgramPropertyStore m_store;
    ServoModel m_servos;
    std::unique_ptr<ProgramListing> m_listing;
    std::unique_ptr<ExecutionController> m_exec;

    void writeTemp(const QString &text) { QVERIFY(WriteWholeFile(m_listing->TempFilePath(), text)); }
    void load(const QStringList &lines)
    {
        writeTemp(lines.isEmpty() ? QString() : lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        m_listing->Update();
    }
    // Starts a run whose frame `at` holds until the test releases it.
    void startHeld(const QStringList &lines, int at = 0)
    {
        m_store.SetValue(ProgramPropertyStore::Field::InterInstructionDelay, QStringLiteral("20"));
        load(lines);
        m_host->log.holdAt = at;
        m_exec->Execute();
        QVERIFY(m_host->log.entered.tryAcquire(1, 5000));
    }
    bool waitRunEnded()
    {
        QSignalSpy ended(m_exec.get(), &ExecutionController::runEnded);
        return ended.wait(5000);
    }
    static ExecutionMode modeNamed(const QString &name)
    {
        return ExecutionMode(QStringList{"Once", "Loop", "RunToSelected", "StepOneLine"}.indexOf(name));
    }
    void checkIdle()
    {
        QVERIFY(m_exec->ExecuteEnabled() && !m_exec->PauseEnabled() && !m_exec->StopEnabled());
        QCOMPARE(m_exec->Progress(), 0);
        QCOMPARE(m_host->locks.last(), false);
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        m_exec.reset();
        m_store.SetProperties({});
        m_servos.SetPositions({});
        m_listing = std::make_unique<ProgramListing>(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        writeTemp(QString());
        m_host = std::make_unique<FakeHost>();
        m_clock = std::make_unique<VirtualClock>();
        m_exec = std::make_unique<ExecutionController>(*m_listing, m_store, m_servos);
        m_exec->SetLink(m_host.get());
        m_exec->SetClock(m_clock.get());
        connect(m_exec.get(), &ExecutionController::interfaceLocked, m_exec.get(),
                [this](bool locked) { m_host->locks.append(locked); });
    }
    void cleanup()
    {
        m_host->log.release.release(); // a failed check must not leave a run held
        m_exec.reset();
        TestBase::cleanup();
    }

    void updateDropsUnrecognisedLines()
    {
        writeTemp(QStringLiteral(
            "mov 1,1\r\nMOV 2,2\r\njump 5\r\n\r\npause 250\r\nWAV /a.wav\r\nscript s.tqs\r\npause 1,000\r\n"));
        QSignalSpy summary(m_listing.get(), &ProgramListing::summaryChanged);
        m_listing->Update();
        // Two bad lines in a row are both reported as line 3: the second moved into the first's place.
        const QList<MessageRequest> shown = TestMessages().take();
        QCOMPARE(shown.size(), 2);
        for (const MessageRequest &m : shown) {
            QCOMPARE(m.text, QStringLiteral("Line 3 has an unrecognized command and will be omitted."));
            QCOMPARE(m.icon, MsgIcon::Critical);
        }
        QCOMPARE(m_listing->Items(),
                 (QStringList{"mov 1,1", "MOV 2,2", "pause 250", "WAV /a.wav", "script s.tqs", "pause 1,000"}));
        QCOMPARE(ReadWholeFile(m_listing->TempFilePath()),
                 QStringLiteral("mov 1,1\r\nMOV 2,2\r\npause 250\r\nWAV /a.wav\r\nscript s.tqs\r\npause 1,000\r\n"));
        QCOMPARE(m_listing->SummaryTexts(), (QStringList{"6", "2", "2", "1250 ms", "1"}));
        QCOMPARE(summary.count(), 1);
    }

    void missingTemporaryFile()
    {
        load({"mov 1,1"});
        QFile::remove(m_listing->TempFilePath());
        QSignalSpy missing(m_listing.get(), &ProgramListing::tempFileMissing);
        m_listing->Update();
        QCOMPARE(TestMessages().takeTexts(), QStringList{QStringLiteral("Falied to find temporary file.")});
        QCOMPARE(missing.count(), 1);
        QCOMPARE(m_listing->Items(), QStringList{QStringLiteral("mov 1,1")});
    }

    void updateReselectsTheRememberedLine()
    {
        m_listing->SetSelectedInstructionIndex(QStringLiteral("1"));
        load({"mov 1,1", "mov 1,2", "mov 1,3"});
        QCOMPARE(m_listing->SelectedLine(), 1);
        m_listing->SetSelectedInstructionIndex(QStringLiteral("2"));
        load({"mov 1,1", "mov 1,2"});
        QCOMPARE(m_listing->SelectedLine(), -1);
    }

    void executeRefusals_data() { AddTestDataRows(QStringLiteral("execution/execute-refusals.txt")); }
    void executeRefusals()
    {
        QFETCH(QStringList, row);
        load(row[1].split(QLatin1Char(';'), Qt::SkipEmptyParts));
        m_store.SetProperties({.InterInstructionDelay = row[2], .SmartDelay = row[3], .CommPort = "3"});
        m_host->open = row[4] == QLatin1String("Online");
        if (!row[5].isEmpty())
            TestMessages().queueAnswer(row[5] == QLatin1String("Yes") ? MsgAnswer::Yes : MsgAnswer::No);
        m_host->goOnlineError = row[6].toInt();
        m_exec->Execute();
        QStringList shown;
        const QStringList icons{"None", "Information", "Critical", "Question", "Exclamation"},
            buttons{"Ok", "OkCancel", "YesNo", "YesNoCancel"};
        for (const MessageRequest &m : TestMessages().take())
            shown << icons.value(int(m.icon)) + QLatin1Char(' ') + buttons.value(int(m.buttons)) + QLatin1Char(' ') +
                         m.text;
        QCOMPARE(shown.join(QLatin1Char(';')), row[7]);
        QCOMPARE(m_host->goOnlineCalls, row[8].toInt());
        QVERIFY(m_host->locks.isEmpty());
    }

    void goingOnlineStartsTheRun()
    {
        load({"mov 1,1"});
        m_store.SetProperties({.InterInstructionDelay = "Smart", .SmartDelay = "3"});
        m_host->open = false;
        TestMessages().queueAnswer(MsgAnswer::Yes);
        m_exec->Execute();
        QCOMPARE(TestMessages().takeTexts().size(), 1);
        QVERIFY(waitRunEnded());
        QCOMPARE(m_host->log.taken(), QList<QByteArray>{QByteArray::fromHex("FF0101")});
    }

    void wholeRunOnItsThread()
    {
        m_store.SetValue(ProgramPropertyStore::Field::InterInstructionDelay, QStringLiteral("20"));
        m_host->center = QStringLiteral("True");
        // The last position is refused (reported) but still remembered.
        load(QStringList(7, QStringLiteral("mov 4,9")) << QStringLiteral("mov 5,300"));
        QSignalSpy progress(m_exec.get(), &ExecutionController::progressChanged);
        m_exec->Execute();
        QCOMPARE(m_host->locks, QList<bool>{true});
        QVERIFY(!m_exec->ExecuteEnabled());
        QVERIFY(waitRunEnded());
        QList<int> seen;
        for (const QList<QVariant> &args : progress)
            seen.append(args.at(0).toInt());
        QCOMPARE(seen, (QList<int>{12, 25, 38, 50, 62, 75, 88, 100, 0}));
        QCOMPARE(m_host->log.taken().size(), 16 + 7);
        QCOMPARE(TestMessages().takeTexts().size(), 1);
        QCOMPARE(m_servos.Position(4), qint16(9));
        QCOMPARE(m_servos.Position(5), qint16(300));
        QCOMPARE(m_servos.Position(0), qint16(127));
        QCOMPARE(m_listing->SelectedLine(), 7);
        QCOMPARE(m_clock->nowNs(), qint64(1000 + 7 * 20) * 1'000'000); // no delay after a refused line
        checkIdle();
    }

    void pauseThenStopOrResume_data() { AddTestDataRows(QStringLiteral("execution/stop-and-pause.txt")); }
    void pauseThenStopOrResume()
    {
        QFETCH(QStringList, row);
        const bool resume = row[2] == QLatin1String("Execute");
        m_exec->SetMode(modeNamed(row[1]));
        startHeld({"mov 0,1", "mov 0,2", "mov 0,3"});
        // Clicked while the first line is under way: it finishes, then the run holds.
        m_exec->Pause();
        QVERIFY(m_exec->ExecuteEnabled() && !m_exec->PauseEnabled() && m_exec->StopEnabled());
        m_host->log.release.release();
        QVERIFY(!QTest::qWaitFor([this] { return m_host->log.taken().size() > 1; }, 100));

        resume ? m_exec->Execute() : m_exec->Stop();
        QVERIFY(!m_exec->ExecuteEnabled());
        QCOMPARE(m_exec->PauseEnabled(), resume);
        QVERIFY(waitRunEnded());
        QCOMPARE(m_host->log.taken().size(), row[3].toInt());
        QCOMPARE(m_host->locks.mid(0, 2), (QList<bool>{true, false})); // no second lock on resuming
        checkIdle();
    }

    void stopCutsTheWaitAndEndsTheRun_data() { AddTestDataRows(QStringLiteral("execution/stop-cuts-the-wait.txt")); }
    void stopCutsTheWaitAndEndsTheRun()
    {
        QFETCH(QStringList, row);
        const ExecutionMode mode = modeNamed(row[1]);
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/self.tqs"),
                               QStringLiteral("mov 1,5\r\npause 60000\r\nscript self.tqs\r\n")));
        m_exec->SetMode(mode);
        m_listing->SetSelectedInstructionIndex(mode == ExecutionMode::StepOneLine ? "0" : "1"); // kept by the load
        // Held at the fourth frame, three scripts deep.
        startHeld({"script self.tqs", "mov 2,2"}, 3);
        m_exec->Stop();
        m_exec->Execute();
        m_servos.SetPosition(9, 42); // set by the user while the run ends
        QVERIFY(!m_exec->ExecuteEnabled() && !m_exec->PauseEnabled() && !m_exec->StopEnabled());
        QCOMPARE(m_host->locks, QList<bool>{true});
        m_host->log.release.release();
        QVERIFY(waitRunEnded());
        QCOMPARE(m_host->log.taken().size(), 4);
        QCOMPARE(m_clock->nowNs(), qint64(3 * (20 + 60000 + 20)) * 1'000'000); // the wait after it is cut
        QCOMPARE(m_listing->SelectedLine(), row[2].toInt());
        QCOMPARE(m_servos.Position(9), qint16(42));
        checkIdle();
    }

    // A failing script, or centring that fails before anything was locked: one report, back to idle.
    void runFailureReportsOnceAndGoesBackToIdle()
    {
        for (const QString centre : {"127", "x"}) {
            m_store.SetProperties({.InterInstructionDelay = "0", .ServoCenter = centre});
            m_host->center = centre == "x" ? QStringLiteral("True") : QStringLiteral("False");
            load({"script gone.tqs", "mov 0,1"});
            m_exec->Execute();
            QVERIFY(waitRunEnded());
            QCOMPARE(TestMessages().takeTexts().size(), 1); // its text is the engine's
            QVERIFY(m_host->log.taken().isEmpty());
            checkIdle();
        }
    }

    void runThatTakesNoTimeDoesNotPileUpReports()
    {
        // A loop without waits comes round as fast as the thread runs: only the
        // latest selection may wait for the UI thread, not one per line played.
        FrameLog log;
        LogSink sink(log);
        PlaybackThread run(&sink, m_clock.get(), nullptr);
        std::atomic<int> reports{0};
        connect(
            &run, &PlaybackThread::selected, &run, [&reports] { ++reports; }, Qt::DirectConnection);
        RunRequest request;
        request.program = ResolvedProgram({QStringLiteral("WAV /none.wav")}, {});
        request.mode = ExecutionMode::Loop;
        request.properties = m_store.Properties();
        run.StartRun(request);
        // A hundred passes, each resting a millisecond of the clock.
        QTRY_VERIFY(m_clock->nowNs() >= 100'000'000);
        run.Mailbox().Post(RunMailbox::Kind::Stop);
        QVERIFY(run.wait(5000));
        QCOMPARE(run.Outcome().end, RunOutcome::End::StoppedThenEnded);
        QVERIFY2(reports.load() <= 2, qPrintable(QString::number(reports.load())));
    }

    void boardVanishingEndsTheRun_data() { AddTestDataRows(QStringLiteral("execution/board-vanishing.txt")); }
    void boardVanishingEndsTheRun()
    {
        QFETCH(QStringList, row);
        const ExecutionMode mode = modeNamed(row[1]);
        const int at = row[2].toInt();
        BoardRig rig;
        rig.session.SetCenterOnExecution(QStringLiteral("True"));
        m_host->session = &rig.session;
        m_host->log.holdAt = at;
        load({"mov 1,1", "mov 1,2", "mov 1,3"});
        m_listing->SetSelectedLine(mode == ExecutionMode::StepOneLine ? 0 : 2);
        m_exec->SetMode(mode);
        m_exec->Execute();
        QVERIFY(m_host->log.entered.tryAcquire(1, 5000));
        QCOMPARE(rig.board.ReadFrames(at, 5000).size(), at);
        rig.board.Unplug();
        m_host->log.release.release();
        QVERIFY(waitRunEnded());
        QTRY_VERIFY(!rig.session.PortOpen());
        const QStringList reports = TestMessages().takeTexts();
        QVERIFY2(reports.size() == 1, qPrintable(reports.join(QLatin1Char('|'))));
        checkIdle();
    }
};

TQ_TEST_MAIN(TestExecutionController)
#include "tst_ExecutionController.moc"
