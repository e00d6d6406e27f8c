#include "app/FileHelpers.h"
#include "support/TestSupport.h"

#include <QProcess>

/// taveloq-export end to end: a program file in, a BASIC file or a refusal out.
class TestExportCli : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void exports_data()
    {
        QTest::addColumn<QString>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("golden"); // "-": no file may be written
        QTest::newRow("bs2") << "--target bs2 --pin 0 --baud 9600" << 0 << "worked-serout.bas";
        QTest::newRow("stdout") << "--target bs2 --pin 0 --baud 9600 -o -" << 0 << "worked-serout.bas";
        QTest::newRow("bs1-lookup-loop") << "--target bs1 --pin 7 --baud 2400 --lookup --loop" << 0 << "bs1-lookup.bas";
        QTest::newRow("bs1-9600") << "--target bs1 --pin 0 --baud 9600" << 1 << "-";
        QTest::newRow("no-such-pin") << "--target pbp --pin 8 --baud 2400" << 1 << "-";
        QTest::newRow("no-baud") << "--target bs2 --pin 0" << 2 << "-";
        // A sync byte the application would not load is not copied into the source.
        QTest::newRow("invalid-synch") << "--target bs2 --pin 0 --baud 9600" << 1 << "-";
    }
    void exports()
    {
        QFETCH(QString, args);
        QFETCH(int, exitCode);
        QFETCH(QString, golden);
        const QString synch = QTest::currentDataTag() == QByteArray("invalid-synch") ? "1e2,x" : "255";
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("show.tqp"));
        const QString out = dir.filePath(QStringLiteral("show.bas"));
        QVERIFY(
            WriteWholeFile(program, ";SynchByte=" + synch +
                                        "\r\n;InterInstructionDelay=1000\r\nmov 0,127\r\npause 500\r\nmov 1,200\r\n"));
        const bool toStdout = args.endsWith(QLatin1String(" -"));
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(TAVELOQ_EXPORT),
                args.split(u' ') + QStringList{program} + (toStdout ? QStringList() : QStringList{"-o", out}));
        QVERIFY(p.waitForFinished(10000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), exitCode);
        QCOMPARE(err.isEmpty(), exitCode == 0);
        QCOMPARE(QFile::exists(out), golden != u'-' && !toStdout);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("-"))));
        if (golden == u'-')
            return;
        const QByteArray file = toStdout ? p.readAllStandardOutput() : ReadWholeFileBytes(out);
        QVERIFY(file.startsWith("' ** Created By Taveloq ("));
        // The golden files start after the two header lines, with the empty line.
        QCOMPARE(file.mid(file.indexOf("\r\n", file.indexOf("\r\n") + 2) + 2),
                 ReadWholeFileBytes(TestDataPath(QStringLiteral("export/") + golden)));
    }
};

TQ_TEST_MAIN(TestExportCli)
#include "tst_ExportCli.moc"
