#include "link/SerialPortMap.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/Version.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

/// The real program, started as a file manager starts it and ended by the
/// signals a desktop session or a service manager sends.
class TestTermination : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void commandLineNeedsNoDisplay_data() { AddTestDataRows(QStringLiteral("shell/command-line.txt")); }
    void commandLineNeedsNoDisplay()
    {
        QFETCH(QStringList, row);
        const QString &arguments = row[1];
        const QString output = QString(row[3]).replace(QLatin1String("%v"), QString::fromLatin1(kVersionText));
        const int status = row[2].toInt();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        QProcess app;
        app.setProcessEnvironment(env);
        app.start(QStringLiteral(TAVELOQ_APP), arguments.split(QLatin1Char(' ')));
        QVERIFY(app.waitForFinished(10000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), status);
        QVERIFY2((app.readAllStandardOutput() + app.readAllStandardError()).contains(output.toUtf8()),
                 qPrintable(output));
    }

    void signalEndsAsClosingTheWindowDoes_data() { AddTestDataRows(QStringLiteral("shell/termination-signals.txt")); }
    void signalEndsAsClosingTheWindowDoes()
    {
        QFETCH(QStringList, row);
        const int signal =
            QHash<QString, int>{{"SIGTERM", SIGTERM}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}}.value(row[1]);
        const QString &program = row[2];
        const QString temp = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Taveloq/tq0001.tmp");
        // A board on Comm Port 1, so that no start-up message waits for an answer.
        VirtualBoard board;
        SerialPortMap::SetDevicePath(1, board.DevicePath());
        QStringList arguments;
        if (!program.isEmpty()) {
            arguments << QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("walk.tqp"));
            QFile file(arguments.first());
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(program.toLatin1()) > 0);
        }
        QProcess app;
        app.start(QStringLiteral(TAVELOQ_APP), arguments);
        QVERIFY(app.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(temp), 10000);
        if (!program.isEmpty()) {
            const auto listing = [&temp] {
                QFile file(temp);
                return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
            };
            QTRY_COMPARE_WITH_TIMEOUT(listing(), program, 15000);
        }
        ::kill(pid_t(app.processId()), signal);
        QVERIFY(app.waitForFinished(20000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(temp));
        QVERIFY(!QFileInfo::exists(temp + QStringLiteral(".lock")));
    }
};

TQ_TEST_MAIN(TestTermination)
#include "tst_Termination.moc"
