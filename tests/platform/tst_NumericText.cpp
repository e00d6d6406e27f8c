#include "platform/AppError.h"
#include "platform/NumericText.h"
#include "support/TestSupport.h"

class TestNumericText : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void numericTest_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");

        for (const QStringList &row : TestDataRows(QStringLiteral("platform/numeric-text.txt")))
            QTest::newRow(qPrintable(row[0])) << row[1] << (row[2] == QLatin1String("yes")) << row[3].toDouble();
    }
    void numericTest()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        QCOMPARE(IsNumericText(text), numeric);
        const auto parsed = NumericValue(text);
        QCOMPARE(parsed.has_value(), numeric);
        if (numeric)
            QCOMPARE(*parsed, value);
    }

    void roundsHalvesToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("whole");
        for (const QStringList &row : TestDataRows(QStringLiteral("platform/rounding.txt")))
            QTest::newRow(qPrintable(row[0])) << row[1] << row[2].toInt();
    }
    void roundsHalvesToEven()
    {
        QFETCH(QString, text);
        QFETCH(int, whole);
        QCOMPARE(int(ToInteger(text)), whole);
        QCOMPARE(ToLong(text), whole);
    }

    void conversionErrors()
    {
        // 16 bits: the edges convert, one past them overflows (after rounding).
        QCOMPARE(ToInteger(QStringLiteral("32767")), qint16(32767));
        QCOMPARE(ToInteger(QStringLiteral("-32768")), qint16(-32768));
        QCOMPARE(ToInteger(QStringLiteral("32767.4")), qint16(32767));
        QCOMPARE(ThrownNumber([] { ToInteger(QStringLiteral("32767.5")); }), ErrorNumber::kOverflow);
        QCOMPARE(ThrownNumber([] { ToInteger(QStringLiteral("32768")); }), ErrorNumber::kOverflow);
        QCOMPARE(ThrownNumber([] { ToInteger(QStringLiteral("-32769")); }), ErrorNumber::kOverflow);

        // 32 bits.
        QCOMPARE(ToLong(QStringLiteral("2,147,483,647")), qint32(2147483647));
        QCOMPARE(ToLong(QStringLiteral("-2147483648")), qint32(-2147483647 - 1));
        QCOMPARE(ThrownNumber([] { ToLong(QStringLiteral("2147483648")); }), ErrorNumber::kOverflow);
        QVERIFY(!WholeNumber32(QStringLiteral("1e12")).has_value());
        QCOMPARE(WholeNumber32(QStringLiteral("65534")), std::optional<qint32>(65534));

        // Not a number at all: type mismatch, never zero.
        QCOMPARE(ThrownNumber([] { ToInteger(QStringLiteral("abc")); }), ErrorNumber::kTypeMismatch);
        QCOMPARE(ThrownNumber([] { ToLong(QString()); }), ErrorNumber::kTypeMismatch);
        QVERIFY(!WholeNumber32(QStringLiteral("(None)")).has_value());
    }
};

TQ_TEST_MAIN(TestNumericText)
#include "tst_NumericText.moc"
