#include "app/FileHelpers.h"
#include "library/IniText.h"
#include "library/TQINI1.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

class TestIniText : public TestBase
{
    Q_OBJECT

    /// A table's text as file bytes: "\xHH" is one byte, "{N}" N letters "x".
    static QByteArray bytes(const QString &field)
    {
        QByteArray out = field.toUtf8();
        for (const QRegularExpressionMatch &m :
             QRegularExpression(QStringLiteral("\\\\x([0-9A-F]{2})|\\{(\\d+)\\}")).globalMatch(QString::fromUtf8(out)))
            out.replace(m.captured().toUtf8(), m.hasCaptured(1) ? QByteArray(1, char(m.captured(1).toInt(nullptr, 16)))
                                                                : QByteArray(m.captured(2).toInt(), 'x'));
        return out;
    }

private Q_SLOTS:
    void read_data() { AddTestDataRows(QStringLiteral("library/ini-read.txt")); }
    void read()
    {
        QFETCH(QStringList, row);
        QCOMPARE(IniText::FromBytes(bytes(row[1])).Value(row[2], row[3]), QString::fromUtf8(bytes(row[4])));
    }

    void write_data() { AddTestDataRows(QStringLiteral("library/ini-write.txt")); }
    void write()
    {
        QFETCH(QStringList, row); // a value of "null" removes the key
        IniText ini = IniText::FromBytes(bytes(row[1]));
        ini.SetValue(row[2], row[3], row[4] == QLatin1String("null") ? std::nullopt : std::optional<QString>(row[4]));
        QCOMPARE(ini.ToBytes(), bytes(row[5]));
        QCOMPARE(ini.Value(row[2], row[3]), row[6]);
    }

    void fileFromAnotherSystem()
    {
        const QString file = QDir::homePath() + QStringLiteral("/other.tqc");
        QCOMPARE(ReadIniValue(QStringLiteral("ServoLabels"), QStringLiteral("1"), file), QString());
        WriteIniValue(QStringLiteral("ServoLabels"), QStringLiteral("1"), std::nullopt, file);
        QVERIFY(!QFile::exists(file)); // removing from a missing file creates none
        WriteWholeFileBytes(file, ReadWholeFileBytes(TestDataPath(QStringLiteral("library/ini-other-system.tqc"))));
        QCOMPARE(ReadIniValue(QStringLiteral("servolabels"), QStringLiteral("1"), file), QStringLiteral("Left Eye"));
        WriteIniValue(QStringLiteral("ServoLabels"), QStringLiteral("3"), QStringLiteral("  Brow Left"), file);
        const QString changed = TestDataPath(QStringLiteral("library/ini-other-system-changed.tqc"));
        QCOMPARE(ReadWholeFileBytes(file), ReadWholeFileBytes(changed));
    }
};

TQ_TEST_MAIN(TestIniText)
#include "tst_IniText.moc"
