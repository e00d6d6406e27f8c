#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "execution/ExecutionEngine.h"
#include "execution/IRunObserver.h"
#include "execution/ISoundPlayer.h"
#include "execution/ProgramTrace.h"
#include "execution/RunMailbox.h"
#include "execution/TraceLanes.h"
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

/// A row of the traces file: the run as its "> key = value" lines give it, and the trace it records.
struct TraceRow
{
    QHash<QString, QString> run;
    QStringList trace;
    QStringList list(const char *key) const
    {
        QStringList out;
        for (const QString &v : run.value(QLatin1String(key)).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            out.append(v.trimmed());
        return out;
    }
};

} // namespace

Q_DECLARE_METATYPE(TraceRow)

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
        QTest::addColumn<TraceRow>("row");
        QList<std::pair<QString, TraceRow>> rows;
        for (const QString &line :
             ReadWholeFile(TestDataPath(QStringLiteral("execution/engine-traces.txt"))).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('[')))
                rows.append({line.mid(1, line.size() - 2), {}});
            else if (line.startsWith(QLatin1String("> ")))
                rows.last().second.run.insert(line.section(QLatin1Char('='), 0, 0).mid(2).trimmed(),
                                              line.section(QLatin1Char('='), 1).trimmed());
            else if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                rows.last().second.trace.append(line);
        }
        for (const auto &[tag, row] : rows)
            QTest::newRow(qPrintable(tag)) << row;
    }
    void traces()
    {
        QFETCH(TraceRow, row);
        const QString scripts = DataPaths::ScriptsFolder() + QLatin1Char('/');
        QDir().mkpath(scripts);
        // A name outside Latin-1 survives the file and finds its file.
        QVERIFY(
            WriteWholeFile(scripts + "wave.tqs", QStringLiteral("mov 1,10\r\npause 5\r\nscript \u015dipo.tqs\r\n")));
        QVERIFY(WriteWholeFile(scripts + QStringLiteral("\u015dipo.tqs"), QStringLiteral("mov 1,20\r\n")));
        QVERIFY(WriteWholeFile(scripts + "self.tqs", QStringLiteral("mov 1,5\r\nscript self.tqs\r\nmov 1,6\r\n")));
        WriteNativeFile(QFile::encodeName(scripts) + "caf\xe9.tqs", "mov 1,30\r\n"); // named on an older system
        QFile::link(QStringLiteral("/dev/zero"), scripts + "zero.tqs");              // there, but no file to read
        VirtualClock clock;
        TraceRecorder rec(clock);
        RunMailbox mailbox;
        ExecutionEngine engine({&rec, &clock, &rec, &TestMessages(), &rec, &mailbox});
        rec.writeCostNs = row.run.value(QStringLiteral("write cost")).toLongLong() * 1'000'000;
        rec.failFramesFrom = row.run.value(QStringLiteral("fail from"), QStringLiteral("-1")).toInt();
        const QStringList posts = row.list("posts");
        rec.hook = [&](const QString &line) {
            static const QHash<QString, RunMailbox::Kind> clicks{{"Stop", RunMailbox::Kind::Stop},
                                                                 {"Pause", RunMailbox::Kind::Pause},
                                                                 {"Resume", RunMailbox::Kind::Resume}};
            for (const QString &post : posts) {
                const QString click = post.section(QLatin1Char('='), 1);
                if (post.section(QLatin1Char('='), 0, 0) != line)
                    continue;
                if (clicks.contains(click))
                    mailbox.Post(clicks.value(click));
                else if (click.startsWith(QLatin1Char('+')))
                    clock.advanceNs(click.toLongLong() * 1'000'000);
                else
                    mailbox.PostListing(ResolvedProgram(click.split(QLatin1Char('|')), DataPaths::ScriptsFolder()));
            }
        };
        RunRequest r;
        r.program = ResolvedProgram(row.list("items"), DataPaths::ScriptsFolder());
        const int mode = QStringList{"Once", "Loop", "RunToSelected", "StepOneLine"}.indexOf(
            row.run.value(QStringLiteral("mode"), QStringLiteral("Once")));
        QVERIFY(mode >= 0);
        r.mode = ExecutionMode(mode);
        r.selectedLine = row.run.value(QStringLiteral("selected"), QStringLiteral("-1")).toInt();
        const std::pair<const char *, QString ProgramProperties::*> props[] = {
            {"sync", &ProgramProperties::SynchByte},
            {"delay", &ProgramProperties::InterInstructionDelay},
            {"smart", &ProgramProperties::SmartDelay},
            {"centre", &ProgramProperties::ServoCenter}};
        for (const auto &[key, member] : props)
            if (row.run.contains(QLatin1String(key)))
                r.properties.*member = row.run.value(QLatin1String(key));
        r.center = row.run.value(QStringLiteral("center")) == QLatin1String("true");
        r.positions[2] = qint16(row.run.value(QStringLiteral("servo2")).toInt());
        // The run reads no file: its scripts were read with the listing.
        const QString away = DataPaths::ScriptsFolder() + QStringLiteral(".away");
        QVERIFY(QDir().rename(DataPaths::ScriptsFolder(), away));
        const RunOutcome out = engine.Run(r);
        QVERIFY(QDir().rename(away, DataPaths::ScriptsFolder()));

        // The trace, then the boxes shown and how the run ended.
        QStringList got = rec.only(row.list("only"));
        for (const MessageRequest &m : TestMessages().take())
            got.append(QLatin1String(m.icon == MsgIcon::Critical ? "critical " : "message ") +
                       QString(m.text).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")));
        const char *const ends[] = {"completed", "stopped", "stopped then ended", "failed"};
        got.append(QString::number(clock.nowNs() / 1'000'000) + QStringLiteral(" end ") +
                   QLatin1String(ends[int(out.end)]));
        QCOMPARE(got, row.trace.replaceInStrings(QStringLiteral("$DATA"), DataPaths::UserDataFolder()));
    }

    // Loop mode for 100,000 instructions on virtual time (moves, pauses, a
    // script each pass, a sound). A leak of 12 bytes an
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
        r.program = ResolvedProgram({"mov 1,200", "pause 20", "script arm.tqs", "WAV /a.wav", "mov 1,50"},
                                    DataPaths::ScriptsFolder());
        r.mode = ExecutionMode::Loop;
        r.properties = {.InterInstructionDelay = "10"};
        QCOMPARE(int(engine.Run(r).end), int(RunOutcome::End::StoppedThenEnded));
        QCOMPARE(run.lines, 100'000);
#ifndef __SANITIZE_ADDRESS__
        // AddressSanitizer holds freed memory back on purpose; its leak check stands in for this there.
        QVERIFY2(residentKiB() - run.startKiB < 1024,
                 qPrintable(QStringLiteral("%1 KiB, then %2 KiB").arg(run.startKiB).arg(residentKiB())));
#endif
    }

    // A trace plays one pass of a loop; past its limit it is cut, flagged and has no end.
    void traceStopsAtItsEventLimit()
    {
        RunRequest r;
        r.program = ResolvedProgram({"mov 1,1", "mov 1,2", "mov 1,3"}, {});
        r.mode = ExecutionMode::Loop;
        const ProgramTrace whole = ProgramTrace::Run(r, 3);
        QVERIFY(!whole.truncated && whole.events.size() == 4 && whole.events[3].kind == TraceEvent::Kind::End);
        const ProgramTrace cut = ProgramTrace::Run(r, 2);
        QVERIFY(cut.truncated && cut.events.size() == 2 && cut.events[1].kind == TraceEvent::Kind::Move);
    }

    // What the timeline draws of a program: steps per servo, sound spans, line starts.
    void timelineLanes_data()
    {
        AddTestDataRows(QStringLiteral("execution/timeline-lanes.txt"));
    }
    void timelineLanes()
    {
        QFETCH(QStringList, row);
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/a.tqs", QStringLiteral("mov 4,40\r\npause 50\r\n")));
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/b.tqs", QStringLiteral("script b.tqs\r\n")));
        ProgramProperties props;
        for (const QString &pair : row[2].split(QLatin1String(", "))) {
            const QString key = pair.section(' ', 0, 0), value = pair.section(' ', 1);
            (key == "delay"   ? props.InterInstructionDelay
             : key == "smart" ? props.SmartDelay
                              : props.ServoCenter) = value;
        }
        const TraceLanes lanes =
            TraceLanes::OfProgram(row[1].split(QLatin1String("; ")), props, DataPaths::ScriptsFolder());
        QStringList servos, sounds, lines;
        for (const TraceLanes::ServoLane &lane : lanes.servos) {
            QString text = QString::number(lane.servo) + ':';
            for (const TraceLanes::Step &s : lane.steps)
                text += QStringLiteral(" %1=%2@%3").arg(s.timeMs).arg(s.position).arg(s.line);
            servos << text;
        }
        for (const TraceLanes::SoundLane &lane : lanes.sounds) {
            QString text = lane.name + ':';
            for (const TraceLanes::Span &s : lane.spans)
                text += QStringLiteral(" %1-%2@%3").arg(s.startMs).arg(s.endMs).arg(s.line);
            sounds << text;
        }
        for (qint64 start : lanes.lineStarts)
            lines << QString::number(start);
        QCOMPARE(servos.join(QLatin1String("; ")), row[3]);
        QCOMPARE(sounds.join(QLatin1String("; ")), row[4]);
        lines << (lanes.refusal.isEmpty() ? QStringLiteral("end %1").arg(lanes.endMs) : QStringLiteral("refused"));
        for (const TraceLanes::Gap &g : lanes.gaps)
            lines << QStringLiteral("gap %1-%2@%3").arg(g.startMs).arg(g.endMs).arg(g.line);
        QCOMPARE(lines.join(' ').trimmed(), row[5]);
    }

    // A pixel column of a lane: its range of positions, or for sounds whether one plays or starts there.
    void timelineColumns_data()
    {
        AddTestDataRows(QStringLiteral("execution/timeline-columns.txt"));
    }
    void timelineColumns()
    {
        QFETCH(QStringList, row);
        QList<TraceLanes::Step> steps;
        QList<TraceLanes::Span> spans;
        for (const QString &item : row[1].split(' ')) {
            if (item.contains('='))
                steps.append({item.section('=', 0, 0).toLongLong(), item.section('=', 1).toInt(), 0});
            else
                spans.append({item.section('-', 0, 0).toLongLong(), item.section('-', 1).toLongLong(), 0});
        }
        QStringList columns;
        if (spans.isEmpty()) {
            for (const TraceLanes::Column &c :
                 TraceLanes::Columns(steps, row[2].toDouble(), row[3].toDouble(), row[4].toInt()))
                columns << (c.low < 0         ? QStringLiteral(".")
                            : c.low == c.high ? QString::number(c.low)
                                              : QStringLiteral("%1-%2").arg(c.low).arg(c.high));
        } else {
            for (quint8 flags : TraceLanes::SpanColumns(spans, row[2].toDouble(), row[3].toDouble(), row[4].toInt()))
                columns << QString::number(flags);
        }
        QCOMPARE(columns.join(' '), row[5]);
    }
};

TQ_TEST_MAIN(TestExecutionEngine)
#include "tst_ExecutionEngine.moc"
