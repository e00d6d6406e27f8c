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

        QTest::newRow("digits") << "127" << true << 127.0;
        QTest::newRow("group separator") << "1,000" << true << 1000.0;
        QTest::newRow("servo and position") << "3,127" << true << 3127.0;
        QTest::newRow("leading comma") << ",127" << true << 127.0;
        QTest::newRow("trailing comma") << "3,127," << true << 3127.0;
        QTest::newRow("blanks around") << "  42  " << true << 42.0;
        QTest::newRow("plus sign") << "+7" << true << 7.0;
        QTest::newRow("minus sign") << "-7" << true << -7.0;
        QTest::newRow("decimal") << "0.25" << true << 0.25;
        QTest::newRow("no leading digit") << ".5" << true << 0.5;
        QTest::newRow("no trailing digit") << "5." << true << 5.0;
        QTest::newRow("exponent") << "1.5E3" << true << 1500.0;
        QTest::newRow("negative exponent") << "25e-1" << true << 2.5;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blanks only") << "   " << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("commas only") << ",," << false << 0.0;
        QTest::newRow("point only") << "." << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("inner blank") << "5 00" << false << 0.0;
        QTest::newRow("comma after point") << "1.0,5" << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("hex is not a number") << "0x10" << false << 0.0;
        QTest::newRow("trailing letter") << "12a" << false << 0.0;
        QTest::newRow("beyond double range") << "1e400" << false << 0.0;
        QTest::newRow("tab is not a blank") << "\t5" << false << 0.0;
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
        QTest::newRow("0.5") << "0.5" << 0;
        QTest::newRow("1.5") << "1.5" << 2;
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow("-0.5") << "-0.5" << 0;
        QTest::newRow("-1.5") << "-1.5" << -2;
        QTest::newRow("-2.5") << "-2.5" << -2;
        QTest::newRow("2.4999") << "2.4999" << 2;
        QTest::newRow("2.5001") << "2.5001" << 3;
        QTest::newRow("-2.6") << "-2.6" << -3;
        QTest::newRow("12.4") << "12.4" << 12;
        QTest::newRow("grouped") << "1,000.5" << 1000;
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
