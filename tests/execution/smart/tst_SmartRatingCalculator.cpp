#include "execution/smart/SmartRatingCalculator.h"
#include "support/TestSupport.h"

class TestSmartRatingCalculator : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void ratingFollowsTheServoSpeedAndLimits()
    {
        // The examples 1.27 and .15 and the question are worked through the grid's
        // calculator window. Narrower limits mean more time per position: 0.6 s over 100 positions.
        QCOMPARE(SmartRatingCalculator::FormatRating(SmartRatingCalculator::Calculate("0.2", "30", "90", "150", "50")),
                 QStringLiteral("6.15"));
    }

    void formatKeepsTwoDecimals_data()
    {
        QTest::addColumn<double>("rating");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero whole part") << 0.15 << ".15";
        QTest::newRow("zero") << 0.0 << ".00";
        QTest::newRow("whole") << 100.0 << "100.00";
        QTest::newRow("one decimal") << 2.5 << "2.50";
        QTest::newRow("rounds down") << 12.3449 << "12.34";
        QTest::newRow("half away from zero on the decimal digits") << 1.005 << "1.01";
        QTest::newRow("carries into the whole part") << 0.999 << "1.00";
        QTest::newRow("no grouping") << 12345.678 << "12345.68";
    }

    void formatKeepsTwoDecimals()
    {
        QFETCH(double, rating);
        QFETCH(QString, text);
        QCOMPARE(SmartRatingCalculator::FormatRating(rating), text);
    }

    void failuresCarryTheirErrorNumbers_data()
    {
        // Seconds, per, servo max and servo min, joined by commas; the range is 90.
        QTest::addColumn<QString>("inputs");
        QTest::addColumn<int>("number");
        QTest::newRow("seconds not a number") << "fast,60,254,0" << 13;
        QTest::newRow("per not a number") << "0.2,,254,0" << 13;
        QTest::newRow("per zero") << "0.2,0,254,0" << 11;
        QTest::newRow("negative seconds") << "-1,60,254,0" << 5;
        // Not swapped silently: a negative rating.
        QTest::newRow("limits the wrong way round") << "1,60,0,254" << 5;
        QTest::newRow("beyond the largest rating") << "1000,1,254,0" << 6;
    }

    void failuresCarryTheirErrorNumbers()
    {
        QFETCH(QString, inputs);
        QFETCH(int, number);
        const QStringList in = inputs.split(QLatin1Char(','));
        QCOMPARE(ThrownNumber([&] { SmartRatingCalculator::Calculate(in[0], in[1], "90", in[2], in[3]); }), number);
    }
};

TQ_TEST_MAIN(TestSmartRatingCalculator)
#include "tst_SmartRatingCalculator.moc"
