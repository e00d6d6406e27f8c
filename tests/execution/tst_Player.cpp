#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "link/LinkTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <pthread.h>

/// taveloq-play end to end: a program file in, bytes at a pseudo-terminal board out.
class TestPlayer : public TestBase
{
    Q_OBJECT

    QString writeProgram(const QString &body)
    {
        QDir().mkpath(DataPaths::ProgramsFolder());
        const QString path = DataPaths::ProgramsFolder() + QStringLiteral("/show.tqp");
        [&] { QVERIFY(WriteWholeFile(path, body)); }();
        return path;
    }
    void start(QProcess &p, const QStringList &args)
    {
        p.setProgram(QStringLiteral(TAVELOQ_PLAY));
        p.setArguments(args);
        p.start();
        QVERIFY(p.waitForStarted());
    }

private Q_SLOTS:
    // Two programs traced on virtual time, then played to a board (sync byte 200, from the header): the
    // same frames arrive, each within 5 ms of its traced time after the median offset. The board is
    // read at real-time priority; a pass spoilt by a busy machine gets two more tries.
    void playsFramesAtTheirTracedTimes()
    {
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/arm.tqs", "mov 4,10\r\npause 15\r\nscript hand.tqs\r\n"));
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/hand.tqs", "mov 5,200\r\nwav x.wav\r\nmov 5,20\r\n"));
        const QString header = QStringLiteral(";SynchByte=200\r\n;ServoCenter=100\r\n");
        const QList<std::pair<QStringList, QString>> runs{
            {{}, header + ";InterInstructionDelay=40\r\nmov 1,10\r\npause 30\r\nscript arm.tqs\r\nmov 1,250\r\n"},
            {{QStringLiteral("--no-center")},
             header + ";InterInstructionDelay=Smart\r\n;SmartDelay=2\r\nmov 2,40\r\nscript arm.tqs\r\nmov 2,90\r\n"}};
        sched_param realTime{};
        realTime.sched_priority = 20;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &realTime);
        for (const auto &[options, program] : runs) {
            const QStringList args = QStringList(options) << writeProgram(program);
            QProcess trace;
            start(trace, QStringList(args) << QStringLiteral("--trace"));
            QVERIFY(trace.waitForFinished(5000));
            QStringList traced, played;
            QList<qint64> tracedMs, offsetsNs;
            for (const QString &row : QString::fromUtf8(trace.readAllStandardOutput()).split(QLatin1Char('\n')))
                if (row.section(QLatin1Char(','), 1, 1) == QLatin1String("move")) {
                    traced << row.section(QLatin1Char(','), 2, 3);
                    tracedMs << row.section(QLatin1Char(','), 0, 0).toLongLong();
                }
            for (int attempt = 0; attempt < 3; ++attempt) {
                VirtualBoard board(200);
                QProcess p;
                start(p, QStringList(args) << QStringLiteral("--device") << board.DevicePath());
                QElapsedTimer clock;
                clock.start();
                played.clear();
                offsetsNs.clear();
                while (played.size() < traced.size() && clock.elapsed() < 10000) {
                    const QByteArray bytes = board.ReadAvailable(100);
                    const qint64 at = clock.nsecsElapsed();
                    for (const ServoFrame &f : board.Decode(bytes)) {
                        offsetsNs << at - tracedMs.value(played.size()) * 1'000'000;
                        played << QStringLiteral("%1,%2").arg(f.servo).arg(f.position);
                    }
                }
                QVERIFY(p.waitForFinished(5000) && p.exitCode() == 0);
                QVERIFY2(p.readAllStandardError().isEmpty(), "a normal run prints nothing");
                QCOMPARE(played, traced);
                QVERIFY2(board.ReadAvailable(50).isEmpty(), "nothing after the last frame");
                QList<qint64> sorted = offsetsNs;
                std::sort(sorted.begin(), sorted.end());
                const qint64 median = sorted[sorted.size() / 2];
                if (std::all_of(sorted.begin(), sorted.end(), [&](qint64 o) { return qAbs(o - median) <= 5'000'000; }))
                    break;
                QVERIFY2(attempt < 2, qPrintable(QStringLiteral("frame times off the trace by %1 to %2 ns")
                                                     .arg(sorted.first() - median)
                                                     .arg(sorted.last() - median)));
            }
        }
        realTime.sched_priority = 0;
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &realTime);
    }

    void ctrlCStopsALoopAtTheYield()
    {
        VirtualBoard board;
        const QString program =
            writeProgram(QStringLiteral(";InterInstructionDelay=20\r\nmov 1,1\r\nmov 1,2\r\nmov 1,3\r\n"));
        QProcess p;
        start(p, {QStringLiteral("--loop"), QStringLiteral("--no-center"), QStringLiteral("--device"),
                  board.DevicePath(), program});
        // Two passes at least, then Ctrl-C.
        const QByteArray first = board.ReadBytes(3 * 6, 5000);
        QCOMPARE(first.size(), 18);
        ::kill(pid_t(p.processId()), SIGINT);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QByteArray all = first + board.ReadAvailable(100);
        // Whole frames only, in the program's order.
        QCOMPARE(all.size() % 3, 0);
        for (int i = 0; i < all.size(); i += 3)
            QCOMPARE(all.mid(i, 3), Bytes({255, 1, (i / 3) % 3 + 1}));
    }

    void endsAndRefusals_data() { AddTestDataRows(QStringLiteral("execution/player-ends.txt")); }
    void endsAndRefusals()
    {
        QFETCH(QStringList, row);
        const QString &body = row[1];
        const int signal = row[2] == QLatin1String("SIGTERM") ? SIGTERM : row[2].isEmpty() ? 0 : -1;
        const int status = row[3].toInt();
        VirtualBoard board;
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + "/hold.tqs", QStringLiteral("pause 3000\r\nmov 1,2\r\n")));
        QProcess p;
        start(p, {QStringLiteral("--no-center"), QStringLiteral("--device"), board.DevicePath(), writeProgram(body)});
        if (signal != 0) {
            QCOMPARE(board.ReadBytes(3, 5000).size(), 3);
            signal < 0 ? board.Unplug() : void(::kill(pid_t(p.processId()), signal));
        }
        // Without waiting out the pause.
        QVERIFY(p.waitForFinished(signal > 0 ? 2000 : 6000));
        QCOMPARE(p.exitCode(), status);
        // A failure says why.
        QCOMPARE(p.readAllStandardError().isEmpty(), status == 0);
        if (signal == 0)
            QVERIFY2(board.ReadAvailable(50).isEmpty(), "a refused program plays nothing");
    }

    void traces_data()
    {
        QTest::addColumn<QStringList>("lines");
        const QString table = ReadWholeFile(TestDataPath(QStringLiteral("execution/play-traces.txt")));
        for (const QString &row : table.split(QStringLiteral("\n[")).mid(1))
            QTest::newRow(qPrintable(row.section(QLatin1Char(']'), 0, 0))) << row.split(QLatin1Char('\n'));
    }
    void traces()
    {
        QFETCH(QStringList, lines);
        QHash<QString, QStringList> files; // the program under "", the scripts by name
        QStringList expected;
        for (const QString &line : lines.mid(1)) {
            const qsizetype mark = line.indexOf(QLatin1String("> "));
            if (mark == 0 || (mark > 0 && line.left(mark).endsWith(QLatin1String(".tqs"))))
                files[line.left(mark)].append(line.mid(mark + 2) + QStringLiteral("\r\n"));
            else if (!line.isEmpty())
                expected.append(line);
        }
        QDir().mkpath(DataPaths::ScriptsFolder());
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            if (!it.key().isEmpty())
                QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + QLatin1Char('/') + it.key(), it->join(QString())));
        QProcess p;
        start(p, lines[0].section(QStringLiteral("] "), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts)
                     << QStringLiteral("--trace") << writeProgram(files.value({}).join(QString())));
        QVERIFY(p.waitForFinished(5000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput())
                                .replace(QLatin1Char('\r'), QLatin1String("\\r"))
                                .replace(DataPaths::UserDataFolder(), QLatin1String("$DATA"));
        QCOMPARE((out + QStringLiteral("exit %1").arg(p.exitCode())).split(QLatin1Char('\n')), expected);
        // A refusal says why.
        QCOMPARE(p.readAllStandardError().isEmpty(), p.exitCode() == 0);
    }

    // --reconnect centres and plays from the start again; without it the loss ends the run (see the table).
    void aLostBoardThatComesBack()
    {
        const QStringList link{QStringLiteral("--link"), qEnvironmentVariable("HOME") + QStringLiteral("/board")};
        QByteArray seen;
        const auto saw = [&seen](QProcess &b, const char *text) {
            return (seen += b.readAllStandardOutput()).contains(text);
        };
        QProcess first, second, p;
        first.start(QStringLiteral(TAVELOQ_VBOARD), link);
        QTRY_VERIFY(saw(first, "Ctrl+C"));
        start(p, {QStringLiteral("--loop"), QStringLiteral("--reconnect"), QStringLiteral("--device"), link[1],
                  writeProgram(";ServoCenter=100\r\n;InterInstructionDelay=20\r\nmov 1,1\r\nmov 1,2\r\n")});
        QTRY_VERIFY(saw(first, "servo  1  position   2"));
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
        seen.clear();
        second.start(QStringLiteral(TAVELOQ_VBOARD), link);
        QTRY_VERIFY(saw(second, "servo  1  position   2"));
        QVERIFY2(seen.count("servo 15  position 100") == 1 &&
                     seen.indexOf("servo 15  position 100") < seen.indexOf("servo  1  position   1"),
                 seen);
        ::kill(pid_t(p.processId()), SIGTERM);
        QVERIFY(p.waitForFinished(5000) && p.exitCode() == 0);
        QVERIFY(
            p.readAllStandardError().contains("stopped taking data: Input/output error; waiting for it to come back"));
        second.terminate();
        QVERIFY(second.waitForFinished(5000));
    }

    // A board that is not there, then a usage error.
    void errorsGiveANonZeroStatus()
    {
        for (const QStringList &args :
             {QStringList{"--device", "/dev/no-such-board", writeProgram("mov 1,1\r\n")}, QStringList{"--bogus"}}) {
            QProcess p;
            start(p, args);
            QVERIFY(p.waitForFinished(5000));
            QCOMPARE(p.exitCode(), args.size() == 1 ? 2 : 1);
        }
    }
};

TQ_TEST_MAIN(TestPlayer)
#include "tst_Player.moc"
