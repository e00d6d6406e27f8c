#include "app/FileHelpers.h"
#include "support/TestSupport.h"

#include <QProcess>

/// taveloq-export end to end: a program file in, a BASIC file or a refusal out.
class TestExportCli : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void exports_data() { AddTestDataRows(QStringLiteral("export/cli.txt")); }
    void exports()
    {
        QFETCH(QStringList, row);
        const QString &args = row[1], &golden = row[4];
        const int exitCode = row[3].toInt();
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("show.tqp"));
        const QString out = dir.filePath(QStringLiteral("show.bas"));
        QVERIFY(WriteWholeFile(program, ";SynchByte=" + row[2].section(u'/', 0, 0) + "\r\n;InterInstructionDelay=" +
                                            row[2].section(u'/', 1) + "\r\nmov 0,127\r\npause 500\r\nmov 1,200\r\n"));
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
