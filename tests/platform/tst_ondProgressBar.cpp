#include "platform/ondProgressBar.h"
#include "support/TestSupport.h"

#include <QApplication>

#include <limits>

class TestOndProgressBar : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void settingTheSameValueSendsNothingAndRecreatingKeepsState()
    {
        ondProgressBar bar;
        bar.ReadProperties({});
        const int before = bar.NativeUpdates();
        bar.SetPosition(0);
        bar.SetMin(0);
        bar.SetMax(100);
        bar.SetStep(10);
        bar.SetBorderstyle(1);
        bar.SetSmooth(false);
        bar.SetOrientation(0);
        bar.SetBarColor(bar.BarColor());
        QCOMPARE(bar.NativeUpdates(), before);
        QCOMPARE(bar.NativeCreations(), 1);
        // A set still marks the property as changed for the window's store.
        QVERIFY(bar.PropertiesChanged());

        bar.SetPosition(40);
        QCOMPARE(bar.NativeUpdates(), before + 1);
        QCOMPARE(bar.Native()->position, 40);

        // Smooth and orientation recreate the native bar, which keeps the state.
        bar.SetPosition(30);
        bar.SetBorderstyle(2);
        bar.SetBackColor(Qt::black);
        bar.SetBarColor(Qt::red);
        bar.SetMax(60);
        bar.SetSmooth(true);
        QCOMPARE(bar.NativeCreations(), 2);
        const ondProgressBar::NativeBar *n = bar.Native();
        QVERIFY(n->smooth);
        QCOMPARE(n->position, 30);
        QCOMPARE(n->edge, 2);
        QCOMPARE(n->backColor, QColor(Qt::black));
        QCOMPARE(n->barColor, QColor(Qt::red));
        QCOMPARE(n->max, 60);
        bar.SetOrientation(1);
        QCOMPARE(bar.NativeCreations(), 3);
        QVERIFY(bar.Native()->vertical);
        QVERIFY(bar.Native()->smooth);
    }

    void storeWritesOnlyWhatDiffersAndRoundTrips()
    {
        ondProgressBar bar;
        bar.ReadProperties({});
        QVariantMap bag;
        bar.WriteProperties(bag);
        QVERIFY(bag.isEmpty());
        bar.SetSmooth(true);
        bar.SetPosition(5);
        bar.SetStep(3);
        bar.SetBarColor(Qt::green);
        bar.WriteProperties(bag);
        QCOMPARE(bag.keys(), (QStringList{"BarColor", "Position", "Smooth", "Step"}));
        ondProgressBar copy;
        copy.ReadProperties(bag);
        QVERIFY(copy.Smooth());
        QCOMPARE(copy.Position(), 5);
        QCOMPARE(copy.Step(), 3);
        QCOMPARE(copy.Native()->barColor, QColor(Qt::green));
        // A store holding Min alone keeps the default Max.
        ondProgressBar onlyMin;
        onlyMin.ReadProperties({{QStringLiteral("Min"), 1}});
        QCOMPARE(onlyMin.Native()->min, 1);
        QCOMPARE(onlyMin.Native()->max, 100);
    }

    void stepAndIncrementBeyondTheRange()
    {
        ondProgressBar bar;
        bar.StepIt(); // no native bar yet: nothing
        QCOMPARE(bar.Position(), 0);
        bar.ReadProperties({});
        bar.SetPosition(95);
        bar.StepIt();
        QCOMPARE(bar.Position(), 105);
        QCOMPARE(bar.Native()->position, 100); // the bar shows full, the control keeps 105
        bar.IncrementIt(-50);
        QCOMPARE(bar.Position(), 55);
        QCOMPARE(bar.Native()->position, 55);
    }

    void paintsWithoutANativeBarAndWithOne()
    {
        ondProgressBar bar;
        bar.resize(200, 20);
        QImage img(bar.size(), QImage::Format_ARGB32);
        bar.render(&img); // no native bar yet
        bar.ReadProperties({});
        bar.SetBarColor(Qt::red);
        bar.SetSmooth(true);
        // Half way is half full, also across the whole 32-bit range.
        for (const qint32 min : {0, std::numeric_limits<qint32>::min()}) {
            bar.SetMin(min);
            bar.SetMax(min ? std::numeric_limits<qint32>::max() : 100);
            bar.SetPosition(min ? 0 : 50);
            bar.render(&img);
            QCOMPARE(img.pixelColor(50, 10), QColor(Qt::red));
            QVERIFY(img.pixelColor(150, 10) != QColor(Qt::red));
        }
    }
};

TQ_TEST_GUI_MAIN(TestOndProgressBar)
#include "tst_ondProgressBar.moc"
