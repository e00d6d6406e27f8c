#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "link/SerialPortMap.h"
#include "link/vboard/VirtualBoard.h"
#include "mainwindow/MDIForm1.h"
#include "platform/Clock.h"
#include "platform/Services.h"
#include "platform/Version.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"
#include "shell/ApplicationMain.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

/// The real program, started as a file manager starts it and ended by the
/// signals a desktop session or a service manager sends.
class TestTermination : public TestBase
{
    Q_OBJECT
    VirtualClock m_clock; // for the starts in this process
    std::unique_ptr<VirtualBoard> m_board;
private Q_SLOTS:
    void init()
    {
        TestBase::init();
        Services::setClock(&m_clock);
        // A board on Comm Port 1, so that no start-up message waits for an answer.
        m_board = std::make_unique<VirtualBoard>();
        SerialPortMap::SetDevicePath(1, m_board->DevicePath());
    }

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
        const QString folder = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Taveloq");
        const QString temp = folder + QStringLiteral("/tq0001.tmp");
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
            // A second copy started meanwhile is not offered the first one's program.
            ApplicationMain second;
            QVERIFY(RunStartUp(second));
            QCOMPARE(second.listing().TempFilePath(), folder + QStringLiteral("/tq0002.tmp"));
            QCOMPARE(TestMessages().takeTexts().size(), 1); // the port the first copy holds, no question
            second.Shutdown();
            QCOMPARE(listing(), program);
        }
        ::kill(pid_t(app.processId()), signal);
        QVERIFY(app.waitForFinished(20000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        QCOMPARE(QDir(folder).entryList({QStringLiteral("tq*")}, QDir::Files), QStringList());
    }

    void killedCopysProgramComesBack_data() { AddTestDataRows(QStringLiteral("shell/recovery.txt")); }
    void killedCopysProgramComesBack()
    {
        QFETCH(QStringList, row);
        const QString program = QDir(qEnvironmentVariable("HOME")).filePath(QStringLiteral("walk.tqp"));
        WriteWholeFileBytes(program, row[1].toLatin1());
        QProcess copy;
        copy.start(QStringLiteral(TAVELOQ_RUNNING_COPY), {program, row[2]});
        QTRY_VERIFY_WITH_TIMEOUT(copy.canReadLine(), 20000);
        ::kill(pid_t(copy.processId()), SIGKILL);
        QVERIFY(copy.waitForFinished(5000));
        TestMessages().queueAnswer(row[3] == QLatin1String("Yes") ? MsgAnswer::Yes : MsgAnswer::No);
        ApplicationMain app;
        QVERIFY(RunStartUp(app));
        ExpectMessage(QStringLiteral("Taveloq did not close properly. Recover the unsaved program (%1)?").arg(row[4]),
                      MsgIcon::Question, MsgButtons::YesNo, kUserMessageTitle);
        const QStringList lines = app.listing().FileLines();
        QCOMPARE(ProgramFileText(app.properties().Properties(), lines, false), row[5]);
        QCOMPARE(app.mainWindow()->findChild<QLabel *>(QStringLiteral("lblProgSum0"))->text(),
                 QString::number(lines.size()));
        QCOMPARE(app.mainWindow()->windowTitle().replace("[*]", app.mainWindow()->isWindowModified() ? "*" : ""),
                 row[6]);
    }
};

TQ_TEST_GUI_MAIN(TestTermination)
#include "tst_Termination.moc"
