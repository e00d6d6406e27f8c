#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "execution/ExecutionEngine.h"
#include "execution/IRunObserver.h"
#include "execution/ISoundPlayer.h"
#include "execution/RunMailbox.h"
#include "link/LinkError.h"
#include "link/ServoFrame.h"
#include "platform/Clock.h"
#include "support/TestSupport.h"

#include <QDir>

#include <algorithm>
#include <functional>
#include <unistd.h>

namespace {

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    return statm.open(QIODevice::ReadOnly)
               ? statm.readAll().split(' ').value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024)
               : -1;
}

/// Records what a run produces, with the virtual time it happened at, as lines
/// "<ms> <event>": frames as hex bytes, waits, sounds, selections, progress.
/// A hook sees each line as it is recorded, so a test can click at a moment.
class TraceRecorder final : public IFrameSink, public IRunObserver, public ISoundPlayer
{
public:
    explicit TraceRecorder(VirtualClock &clock)
        : m_clock(clock)
    {
    }

    std::function<void(const QString &line)> hook;
    QStringList lines;
    /// Time each frame write takes (the clock moves on by it), as a slow line would.
    qint64 writeCostNs = 0;
    /// Frames from this number on fail as a vanished board does.
    int failFramesFrom = -1;

    void WriteFrame(const ServoFrame &frame) override
    {
        if (failFramesFrom >= 0 && m_frames >= failFramesFrom)
            throw AppError(LinkError::kBoardLost, QStringLiteral("the board stopped taking bytes"));
        ++m_frames;
        add(QStringLiteral("frame ") + QString::fromLatin1(frame.bytes().toHex(' ').toUpper()));
        m_clock.advanceNs(writeCostNs);
    }
    void Selected(int line) override { add(QStringLiteral("select %1").arg(line)); }
    void Progress(int percent) override { add(QStringLiteral("progress %1").arg(percent)); }
    void Waiting(long long ms) override { add(QStringLiteral("wait %1").arg(ms)); }
    void PausedAtYield() override { add(QStringLiteral("paused")); }
    void Play(const QString &path) override { add(QStringLiteral("sound ") + path); }

    /// Only the lines whose event starts with one of the words; all of them without words.
    QStringList only(const QStringList &words) const
    {
        QStringList out;
        for (const QString &line : lines) {
            const QString event = line.section(QLatin1Char(' '), 1);
            if (words.isEmpty() ||
                std::any_of(words.begin(), words.end(), [&event](const QString &w) { return event.startsWith(w); }))
                out.append(line);
        }
        return out;
    }

private:
    void add(const QString &event)
    {
        lines.append(QString::number(m_clock.nowNs() / 1'000'000) + QLatin1Char(' ') + event);
        if (hook)
            hook(lines.last());
    }

    VirtualClock &m_clock;
    int m_frames = 0;
};

/// One run and what the user does during it: each post is "<trace line>=<click>",
/// the click being Stop, Pause, Resume, +<ms> (the user takes that long) or a
/// new listing, its lines joined by '|'.
struct Scenario
{
    QStringList items{};
    ExecutionMode mode = ExecutionMode::Once;
    int selected = -1;
    ProgramProperties props{};
    bool center = false;
    qint16 servo2 = 0; ///< where servo 2 stands before the run
    QStringList posts{};
    QStringList only{}; ///< the events the trace keeps; all of them when empty
    qint64 writeCostMs = 0;
    int failFramesFrom = -1;
};

/// The trace a row expects, from a section "[row tag]" of the traces file;
/// $DATA stands for the user data folder, lines starting with '#' are comments.
QStringList expectedTrace(const QString &row)
{
    const QStringList lines =
        ReadWholeFile(TestDataPath(QStringLiteral("execution/engine-traces.txt"))).split(QLatin1Char('\n'));
    const qsizetype at = lines.indexOf(QLatin1Char('[') + row + QLatin1Char(']'));
    if (at < 0)
        return {QStringLiteral("no section [%1]").arg(row)};
    QStringList out;
    for (qsizetype i = at + 1; i < lines.size() && !lines.at(i).startsWith(QLatin1Char('[')); ++i)
        if (!lines.at(i).isEmpty() && !lines.at(i).startsWith(QLatin1Char('#')))
            out.append(QString(lines.at(i)).replace(QStringLiteral("$DATA"), DataPaths::UserDataFolder()));
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class TestExecutionEngine : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void progressRoundsHalvesToEven()
    {
        // Exact arithmetic: 23 of 40 is 57.5, which binary fractions would make 57.4999.
        QCOMPARE(ExecutionEngine::ProgressPercent(22, 40), 58);
    }

    void traces_data()
    {
        using M = ExecutionMode;
        QTest::addColumn<Scenario>("s");
        const QStringList three{"mov 0,1", "mov 0,2", "mov 0,3"};
        const QStringList four = three + QStringList{"mov 0,4"};
        const QStringList five = four + QStringList{"mov 0,5"};
        const ProgramProperties ms10{.InterInstructionDelay = "10"};
        const ProgramProperties ms100{.InterInstructionDelay = "100"};
        const ProgramProperties centre{.SynchByte = "254", .ServoCenter = "100"};
        const ProgramProperties smart3{.InterInstructionDelay = "Smart", .SmartDelay = "3"};

        QTest::newRow("once") << Scenario{.items = {"Mov 3,127", "pause 500", "WAV sounds/hello.wav", "mov 0,200"}};
        QTest::newRow("centring first") << Scenario{.items = {"mov 1,5"}, .props = centre, .center = true};
        QTest::newRow("no centring in a step")
            << Scenario{.items = {"mov 1,5"}, .mode = M::StepOneLine, .selected = 0, .props = centre, .center = true};
        QTest::newRow("bad centre") << Scenario{
            .items = {"mov 0,1"}, .props = {.ServoCenter = "middle"}, .center = true};
        QTest::newRow("run to selected") << Scenario{.items = five,
                                                     .mode = M::RunToSelected,
                                                     .selected = 2,
                                                     .props = ms10,
                                                     .only = {"select", "progress", "frame"}};
        QTest::newRow("run to no selection") << Scenario{.items = five, .mode = M::RunToSelected};
        QTest::newRow("step the last line") << Scenario{.items = three, .mode = M::StepOneLine, .selected = 2};
        QTest::newRow("step the first line") << Scenario{.items = three, .mode = M::StepOneLine, .selected = 0};
        QTest::newRow("step no line") << Scenario{.items = three, .mode = M::StepOneLine};
        QTest::newRow("smart delays") << Scenario{
            .items = {"Mov 2,150", "Pause 500", "mov 2,140"}, .props = smart3, .servo2 = 100, .only = {"wait"}};
        // A rating is used as a whole number: 1.27 waits 1 ms per unit.
        QTest::newRow("smart rating as a whole number")
            << Scenario{.items = {"mov 2,200"}, .props = {.InterInstructionDelay = "Smart", .SmartDelay = "1.27"}};
        // The largest rating times a move from a refused position: the deadline must not wrap.
        QTest::newRow("longest wait capped")
            << Scenario{.items = {"mov 2,255"},
                        .props = {.InterInstructionDelay = "Smart", .SmartDelay = "2147483647"},
                        .servo2 = -32768,
                        .posts = {"0 wait 2147483647=+2147483547"},
                        .only = {"wait"}};
        QTest::newRow("negative waits take no time") << Scenario{
            .items = {"pause -5", "mov 1,1"}, .props = {.InterInstructionDelay = "-100"}, .only = {"wait", "select"}};
        // Each write takes 7 ms: the lines still start every 100 ms, not every 107.
        QTest::newRow("no drift with slow writes")
            << Scenario{.items = four, .props = ms100, .only = {"select"}, .writeCostMs = 7};
        // The instruction under way finishes with its delay; the run stops at the next yield.
        const QStringList stopAt1{"100 select 1=Stop"};
        QTest::newRow("stop once") << Scenario{
            .items = four, .props = ms100, .posts = stopAt1, .only = {"select", "frame", "wait"}};
        // Loop tests Stop before the yield: one more line runs.
        QTest::newRow("stop a loop") << Scenario{
            .items = four, .mode = M::Loop, .props = ms100, .posts = stopAt1, .only = {"select"}};
        QTest::newRow("stop a run to selected") << Scenario{.items = four,
                                                            .mode = M::RunToSelected,
                                                            .selected = 3,
                                                            .props = ms100,
                                                            .posts = stopAt1,
                                                            .only = {"select"}};
        QTest::newRow("loop until stopped") << Scenario{.items = {"mov 0,1", "mov 0,2"},
                                                        .mode = M::Loop,
                                                        .props = ms10,
                                                        .posts = {"40 select 0=Stop"},
                                                        .only = {"select", "progress"}};
        QTest::newRow("loop of no time comes round once a millisecond")
            << Scenario{.items = {"WAV /a.wav"}, .mode = M::Loop, .posts = {"2 sound /a.wav=Stop"}, .only = {"sound"}};
        // The missing script asks for a stop; the resume clears that request too.
        QTest::newRow("pause, resume on a new schedule")
            << Scenario{.items = {"mov 0,1", "script gone.tqs", "mov 0,3"},
                        .props = ms100,
                        .posts = {"100 select 1=Pause", "100 paused=+5000", "100 paused=Resume"},
                        .only = {"select", "frame", "wait", "paused"}};
        QTest::newRow("stop while paused in a loop") << Scenario{.items = three,
                                                                 .mode = M::Loop,
                                                                 .posts = {"0 select 0=Pause", "1000 paused=Stop"},
                                                                 .only = {"select", "paused"}};
        // The count of an Execute-once run is taken at its start; lines gone by then end the run.
        QTest::newRow("listing edits at the yield") << Scenario{.items = three,
                                                                .props = ms10,
                                                                .posts = {"0 frame FF 00 01=mov 0,1|mov 5,5"},
                                                                .only = {"frame", "progress"}};
        // Found ignoring letter case; the Stop waits until the whole script has run.
        QTest::newRow("scripts run whole")
            << Scenario{.items = {"Script Wave.TQS", "mov 0,0"}, .props = ms10, .posts = {"0 frame FF 01 0A=Stop"}};
        const QStringList missing{"mov 1,1", "script gone.tqs", "mov 1,2"};
        const ProgramProperties ms0{.InterInstructionDelay = "0"};
        QTest::newRow("missing script stops a loop")
            << Scenario{.items = missing, .mode = M::Loop, .props = ms0, .only = {"select", "frame"}};
        QTest::newRow("missing script ends a step")
            << Scenario{.items = missing, .mode = M::StepOneLine, .selected = 1, .props = ms0};
        QTest::newRow("script calling itself")
            << Scenario{.items = {"script self.tqs", "mov 2,2"}, .props = ms0, .only = {"frame"}};
        // No second report of a vanished board.
        QTest::newRow("board gone in a loop")
            << Scenario{.items = three, .mode = M::Loop, .only = {"frame", "select"}, .failFramesFrom = 1};
        QTest::newRow("board gone while centring")
            << Scenario{.items = {"mov 0,1"}, .center = true, .failFramesFrom = 3};
        for (const char *line : {"mov 16,100", "mov -1,100", "mov 1,300", "mov 1", "mov a,1", "mov 1,40000", "pause x"})
            QTest::newRow(line) << Scenario{.items = {line, "mov 2,2"}, .props = ms10, .only = {"frame", "wait"}};
    }
    void traces()
    {
        QFETCH(Scenario, s);
        const QString scripts = DataPaths::ScriptsFolder() + QLatin1Char('/');
        QDir().mkpath(scripts);
        // A name outside Latin-1 survives the file and finds its file.
        QVERIFY(
            WriteWholeFile(scripts + "wave.tqs", QStringLiteral("mov 1,10\r\npause 5\r\nscript \u015dipo.tqs\r\n")));
        QVERIFY(WriteWholeFile(scripts + QStringLiteral("\u015dipo.tqs"), QStringLiteral("mov 1,20\r\n")));
        QVERIFY(WriteWholeFile(scripts + "self.tqs", QStringLiteral("mov 1,5\r\nscript self.tqs\r\nmov 1,6\r\n")));
        VirtualClock clock;
        TraceRecorder rec(clock);
        RunMailbox mailbox;
        ExecutionEngine engine({&rec, &clock, &rec, &TestMessages(), &rec, &mailbox});
        rec.writeCostNs = s.writeCostMs * 1'000'000;
        rec.failFramesFrom = s.failFramesFrom;
        rec.hook = [&](const QString &line) {
            static const QHash<QString, RunMailbox::Kind> clicks{{"Stop", RunMailbox::Kind::Stop},
                                                                 {"Pause", RunMailbox::Kind::Pause},
                                                                 {"Resume", RunMailbox::Kind::Resume}};
            for (const QString &post : s.posts) {
                const QString click = post.section(QLatin1Char('='), 1);
                if (post.section(QLatin1Char('='), 0, 0) != line)
                    continue;
                if (clicks.contains(click))
                    mailbox.Post(clicks.value(click));
                else if (click.startsWith(QLatin1Char('+')))
                    clock.advanceNs(click.toLongLong() * 1'000'000);
                else
                    mailbox.PostListing(click.split(QLatin1Char('|')));
            }
        };
        RunRequest r;
        r.items = s.items;
        r.mode = s.mode;
        r.selectedLine = s.selected;
        r.properties = s.props;
        r.center = s.center;
        r.positions[2] = s.servo2;
        r.scriptsFolder = DataPaths::ScriptsFolder();
        const RunOutcome out = engine.Run(r);

        // The trace, then the boxes shown and how the run ended.
        QStringList got = rec.only(s.only);
        for (const MessageRequest &m : TestMessages().take())
            got.append(QLatin1String(m.icon == MsgIcon::Critical ? "critical " : "message ") +
                       QString(m.text).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")));
        const char *const ends[] = {"completed", "stopped", "stopped then ended", "failed"};
        got.append(QString::number(clock.nowNs() / 1'000'000) + QStringLiteral(" end ") +
                   QLatin1String(ends[int(out.end)]));
        QCOMPARE(got, expectedTrace(QLatin1String(QTest::currentDataTag())));
    }

    // Loop mode for 100,000 instructions on virtual time (moves, pauses, a
    // script read from disk each pass, a sound). A leak of 12 bytes an
    // instruction would pass the 1 MiB allowed between the first 10,000 and
    // the end; the allocator's own noise stays far below that.
    void loopSoakKeepsMemoryFlat()
    {
        struct Counter final : IFrameSink, IRunObserver, ISoundPlayer
        {
            VirtualClock clock;
            RunMailbox mailbox;
            int lines = 0;
            qint64 startKiB = 0;
            void WriteFrame(const ServoFrame &) override {}
            void Selected(int) override
            {
                clock.clearWaits();
                if (++lines == 10'000)
                    startKiB = residentKiB();
                if (lines == 100'000)
                    mailbox.Post(RunMailbox::Kind::Stop);
            }
            void Progress(int) override {}
            void Waiting(long long) override {}
            void PausedAtYield() override {}
            void Play(const QString &) override {}
        } run;
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/arm.tqs", QStringLiteral("mov 2,10\r\npause 5\r\n")));
        ExecutionEngine engine({&run, &run.clock, &run, &TestMessages(), &run, &run.mailbox});
        RunRequest r;
        r.items = {"mov 1,200", "pause 20", "script arm.tqs", "WAV /a.wav", "mov 1,50"};
        r.mode = ExecutionMode::Loop;
        r.properties = {.InterInstructionDelay = "10"};
        r.scriptsFolder = DataPaths::ScriptsFolder();
        QCOMPARE(int(engine.Run(r).end), int(RunOutcome::End::StoppedThenEnded));
        QCOMPARE(run.lines, 100'001); // Stop is seen after one more line
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer holds freed memory back on purpose; its leak check stands in for this there.
        QVERIFY2(residentKiB() - run.startKiB < 1024,
                 qPrintable(QStringLiteral("%1 KiB, then %2 KiB").arg(run.startKiB).arg(residentKiB())));
#endif
    }
};

TQ_TEST_MAIN(TestExecutionEngine)
#include "tst_ExecutionEngine.moc"
