#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>

/// The real program, ended by the signals a desktop session or a service
/// manager sends.
class TestTermination : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void signalEndsAsClosingTheWindowDoes_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalEndsAsClosingTheWindowDoes()
    {
        QFETCH(int, signal);
        const QString temp = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Taveloq/tq0001.tmp");
        QProcess app;
        app.start(QStringLiteral(TAVELOQ_APP), {});
        QVERIFY(app.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(temp), 10000);
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
