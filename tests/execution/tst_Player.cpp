#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "link/LinkTestSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>

#include <csignal>

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
    void playsTheProgramWithItsHeader()
    {
        VirtualBoard board(200);
        const QString program = writeProgram(QStringLiteral(
            ";SynchByte=200\r\n;InterInstructionDelay=30\r\n;ServoCenter=100\r\nmov 3,127\r\npause 20\r\n"
            "Mov 15,240\r\nscript arm.tqs\r\n"));
        QDir().mkpath(DataPaths::ScriptsFolder());
        QVERIFY(WriteWholeFile(DataPaths::ScriptsFolder() + QStringLiteral("/arm.tqs"), QStringLiteral("mov 0,1\r\n")));
        QProcess p;
        start(p, {QStringLiteral("--device"), board.DevicePath(), program});
        QByteArray expected;
        for (int servo = 0; servo < 16; ++servo)
            expected += Bytes({200, servo, 100});
        expected += Bytes({200, 3, 127}) + Bytes({200, 15, 240}) + Bytes({200, 0, 1});
        const QByteArray got = board.ReadBytes(expected.size(), 5000);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(got.toHex(' '), expected.toHex(' '));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(p.readAllStandardError().isEmpty(), "a normal run prints nothing");
        // Nothing after the last frame.
        QVERIFY(board.ReadAvailable(50).isEmpty());
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

    void errorsGiveANonZeroStatus()
    {
        QProcess missing;
        start(missing, {QStringLiteral("--device"), QStringLiteral("/dev/no-such-board"), writeProgram("mov 1,1\r\n")});
        QVERIFY(missing.waitForFinished(5000));
        QCOMPARE(missing.exitCode(), 1);

        QProcess usage;
        start(usage, {QStringLiteral("--bogus")});
        QVERIFY(usage.waitForFinished(5000));
        QCOMPARE(usage.exitCode(), 2);
    }
};

TQ_TEST_MAIN(TestPlayer)
#include "tst_Player.moc"
