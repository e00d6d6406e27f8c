#include "app/FileHelpers.h"
#include "export/BasicExport.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

class TestBasicExport : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void golden_data() { AddTestDataRows(QStringLiteral("export/cases.txt")); }
    void golden()
    {
        QFETCH(QStringList, row);
        BasicExport::Input in;
        QString program =
            row[1].startsWith(QLatin1Char('@'))
                ? DecodeFileText(ReadWholeFileBytes(TestDataPath(QStringLiteral("export/") + row[1].mid(1))))
                : row[1];
        // "{N x LINE}" stands for N copies of the line.
        static const QRegularExpression repeat(QStringLiteral("\\{(\\d+) x ([^}]*)\\}"));
        for (QRegularExpressionMatch m = repeat.match(program); m.hasMatch(); m = repeat.match(program))
            program.replace(m.captured(), (m.captured(2) + QLatin1Char('\n')).repeated(m.captured(1).toInt()));
        in.lines = program.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList s = row[2].split(QLatin1Char(','));
        in.settings = {s[0].toInt(), s[1].toInt(), s[2].toInt(), s[3].toInt()};
        in.loop = row[3] == QLatin1String("1");
        in.interInstructionDelay = row[4];
        in.smartDelay = row[5];
        if (row[6].startsWith(QLatin1String("synch=")))
            in.synchByte = row[6].mid(6);
        else if (row[6] != QLatin1String("-"))
            in.positions[row[6].section(QLatin1Char('='), 0, 0).toInt()] =
                qint16(row[6].section(QLatin1Char('='), 1).toInt());
        in.scriptsFolder = TestDataPath(QStringLiteral("export/scripts"));

        const BasicExport::Result result = BasicExport::Export(in);
        QStringList shown;
        for (const MessageRequest &m : result.messages)
            shown << m.title + QStringLiteral(": ") + m.text;
        QCOMPARE(shown.join(QLatin1Char('\n')).replace(in.scriptsFolder, QStringLiteral("<Scripts>")), row[8]);
        if (!row[7].endsWith(QLatin1String(".bas"))) {
            QCOMPARE(result.refusal.value_or(QStringLiteral("(exported)")), row[7]);
            return;
        }
        QCOMPARE(result.refusal.value_or(QString()), QString());
        const QByteArray file = EncodeFileText(BasicExport::Header(QDateTime::currentDateTime()) + result.code);
        const qsizetype second = file.indexOf("\r\n' ** ");
        QVERIFY(second > 0);
        QCOMPARE(file.mid(file.indexOf("\r\n", second + 2) + 2),
                 ReadWholeFileBytes(TestDataPath(QStringLiteral("export/") + row[7])));
    }

    void scriptNamedInLatin1OnDisk()
    {
        QTemporaryDir dir;
        WriteNativeFile(QFile::encodeName(dir.path()) + "/caf\xe9.tqs", "mov 3,40\r\n");
        BasicExport::Input in;
        in.scriptsFolder = dir.path();
        in.lines = {QStringLiteral("script caf\u00e9.tqs")};
        const BasicExport::Result result = BasicExport::Export(in);
        QVERIFY(result.messages.isEmpty());
        QVERIFY(result.code.contains(QStringLiteral("255,3,40")));
    }

    void targets_data() { AddTestDataRows(QStringLiteral("export/targets.txt")); }
    void targets()
    {
        QFETCH(QStringList, row);
        const int target = row[0].toInt();
        const QStringList pins = BasicExport::PinList(target);
        QCOMPARE(QString::number(pins.size()) + u' ' + pins.first() + u' ' + pins.last(),
                 row[1] + u' ' + row[2] + u' ' + row[3]);
        QCOMPARE(BasicExport::BaudText(target, QStringLiteral("N2400")), row[4]);
        QCOMPARE(BasicExport::BaudText(target, QStringLiteral("N9600")), row[5]);
        QCOMPARE(BasicExport::SaveFilter(target), row[6] + u'|' + row[7]);
    }
};

TQ_TEST_MAIN(TestBasicExport)
#include "tst_BasicExport.moc"
