#include "platform/NumericText.h"
#include "support/TestSupport.h"

class TestNumericText : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void numericTest_data() { AddTestDataRows(QStringLiteral("platform/numeric-text.txt")); }
    void numericTest()
    {
        QFETCH(QStringList, row);
        const bool numeric = row[2] == QLatin1String("yes");
        QCOMPARE(IsNumericText(row[1]), numeric);
        const auto parsed = NumericValue(row[1]);
        QCOMPARE(parsed.has_value(), numeric);
        if (numeric)
            QCOMPARE(*parsed, row[3].toDouble());
    }

    void conversions_data() { AddTestDataRows(QStringLiteral("platform/conversions.txt")); }
    void conversions()
    {
        QFETCH(QStringList, row);
        const QString &text = row[2];
        for (const QString &conversion : row[1].split(QLatin1Char(' '))) {
            QString got;
            if (conversion == QLatin1String("whole32")) {
                const std::optional<qint32> whole = WholeNumber32(text);
                got = whole ? QString::number(*whole) : QStringLiteral("none");
            } else if (const int error = ThrownNumber([&] {
                           got =
                               QString::number(conversion == QLatin1String("integer") ? ToInteger(text) : ToLong(text));
                       })) {
                got = QStringLiteral("error ") + QString::number(error);
            }
            QCOMPARE(got, row[3]);
        }
    }
};

TQ_TEST_MAIN(TestNumericText)
#include "tst_NumericText.moc"
