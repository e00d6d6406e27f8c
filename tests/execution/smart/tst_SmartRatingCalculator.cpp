#include "execution/smart/SmartRatingCalculator.h"
#include "support/TestSupport.h"

class TestSmartRatingCalculator : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    // The examples 1.27 and .15 are worked through the grid's calculator window.
    void ratings_data() { AddTestDataRows(QStringLiteral("execution/smart-ratings.txt")); }
    void ratings()
    {
        QFETCH(QStringList, row);
        QString got;
        if (const int error = ThrownNumber([&] {
                got = SmartRatingCalculator::FormatRating(
                    SmartRatingCalculator::Calculate(row[1], row[2], QStringLiteral("90"), row[3], row[4]));
            }))
            got = QStringLiteral("error ") + QString::number(error);
        QCOMPARE(got, row[5]);
    }

    void formatKeepsTwoDecimals_data() { AddTestDataRows(QStringLiteral("execution/smart-format.txt")); }
    void formatKeepsTwoDecimals()
    {
        QFETCH(QStringList, row);
        QCOMPARE(SmartRatingCalculator::FormatRating(row[1].toDouble()), row[2]);
    }
};

TQ_TEST_MAIN(TestSmartRatingCalculator)
#include "tst_SmartRatingCalculator.moc"
