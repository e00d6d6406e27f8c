#include "app/AppComponents.h"
#include "app/AppState.h"
#include "execution/smart/SmartRatingCalculator.h"
#include "mainwindow/PropertyGridModel.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

class TestSmartRatingCalculator : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void ratingFollowsTheServoSpeedAndLimits()
    {
        // 0.19 s per 60 degrees over 90 degrees and 254 positions: 1.122 ms + 0.15.
        QCOMPARE(SmartRatingCalculator::FormatRating(SmartRatingCalculator::Calculate("0.19", "60", "90", "254", "0")),
                 QStringLiteral("1.27"));
        QCOMPARE(SmartRatingCalculator::FormatRating(SmartRatingCalculator::Calculate("0.0", "60", "90", "254", "0")),
                 QStringLiteral(".15"));
        // Narrower limits mean more time per position: 0.6 s over 100 positions.
        QCOMPARE(SmartRatingCalculator::FormatRating(SmartRatingCalculator::Calculate("0.2", "30", "90", "150", "50")),
                 QStringLiteral("6.15"));
        // Limits the wrong way round are not swapped silently; they give a negative rating.
        QVERIFY_THROWS_EXCEPTION(AppError, SmartRatingCalculator::Calculate("1", "60", "90", "0", "254"));
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
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("per");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("min");
        QTest::addColumn<int>("number");
        QTest::newRow("seconds not a number") << "fast" << "60" << "254" << "0" << 13;
        QTest::newRow("per not a number") << "0.2" << "" << "254" << "0" << 13;
        QTest::newRow("per zero") << "0.2" << "0" << "254" << "0" << 11;
        QTest::newRow("equal limits") << "0.2" << "60" << "10" << "10" << 11;
        QTest::newRow("negative seconds") << "-1" << "60" << "254" << "0" << 5;
        QTest::newRow("beyond the largest rating") << "1000" << "1" << "254" << "0" << 6;
    }

    void failuresCarryTheirErrorNumbers()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, per);
        QFETCH(QString, max);
        QFETCH(QString, min);
        QFETCH(int, number);
        try {
            SmartRatingCalculator::Calculate(seconds, per, "90", max, min);
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), number);
        }
    }

    void questionAndFinish()
    {
        QCOMPARE(SmartRatingCalculator::QuestionText("1.27"),
                 QStringLiteral("Using your current property values your Smart Rating was calculated to be\r\n\r\n"
                                "1.27\r\n\r\nWould you like to set this as your smart rating?"));
        PropertyGridModel cells;
        App().GridCellValue[0] = QStringLiteral("3");
        cells.SetCellText(PropertyGridModel::SmartRating, 2, "Wizard...");
        SmartRatingCalculator::FinishEdit(cells, cells, nullptr);
        QCOMPARE(cells.CellText(PropertyGridModel::SmartRating, 2), QStringLiteral("3"));
        QCOMPARE(App().Properties.SmartDelay, QStringLiteral("3"));
        const QString rating = QStringLiteral(".15");
        SmartRatingCalculator::FinishEdit(cells, cells, &rating);
        QCOMPARE(App().Properties.SmartDelay, rating);
    }
};

TQ_TEST_MAIN(TestSmartRatingCalculator)
#include "tst_SmartRatingCalculator.moc"
