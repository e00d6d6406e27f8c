#include "app/ServoModel.h"
#include "servos/frmServoEdit.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

class TestServoEdit : public TestBase
{
    Q_OBJECT

    std::unique_ptr<ServoModel> m_servos;

    static QColor base(const QLineEdit *box) { return box->palette().color(QPalette::Disabled, QPalette::Base); }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        m_servos = std::make_unique<ServoModel>();
    }
    void cleanup()
    {
        m_servos.reset();
        TestBase::cleanup();
    }

    void opensWithTheServoControllersLabelsAndStates()
    {
        m_servos->SetEnabled(15, false);
        frmServoEdit dialog(*m_servos);
        for (int servo = 0; servo < kServoCount; ++servo) {
            QCOMPARE(dialog.Text1(servo)->text(), QStringLiteral("Servo #") + QString::number(servo));
            QCOMPARE(dialog.Check1(servo)->isChecked(), servo != 15);
            QCOMPARE(dialog.Text1(servo)->isEnabled(), servo != 15);
        }
        // Tab order: label boxes 0 to 15.
        QWidget *w = dialog.Text1(0);
        for (int servo = 1; servo < kServoCount; ++servo) {
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus)
                w = w->nextInFocusChain();
            QCOMPARE(w, static_cast<QWidget *>(dialog.Text1(servo)));
        }
    }

    void checkBoxGreysItsLabelBox()
    {
        frmServoEdit dialog(*m_servos);
        dialog.show();
        const QColor enabledBase = base(dialog.Text1(2));
        QTest::mouseClick(dialog.Check1(2), Qt::LeftButton, {}, QPoint(4, dialog.Check1(2)->height() / 2));
        QVERIFY(!dialog.Text1(2)->isEnabled()); // the check box stays usable: the second click below
        QCOMPARE(base(dialog.Text1(2)), dialog.palette().color(QPalette::Active, QPalette::Dark));
        QCOMPARE(dialog.Check1(2)->palette().color(QPalette::Window), base(dialog.Text1(2)));
        QTest::mouseClick(dialog.Check1(2), Qt::LeftButton, {}, QPoint(4, dialog.Check1(2)->height() / 2));
        QVERIFY(dialog.Text1(2)->isEnabled());
        QCOMPARE(base(dialog.Text1(2)), enabledBase);
        // The text starts after the check box drawn inside the box.
        QVERIFY(dialog.Text1(2)->textMargins().left() >= dialog.Check1(2)->width());
    }

    // OK writes every label and state, an empty label too; Cancel writes nothing.
    void okWritesCancelKeeps()
    {
        m_servos->SetLabel(1, QStringLiteral("Jaw"));
        m_servos->SetEnabled(2, false);
        for (const bool ok : {false, true}) {
            frmServoEdit dialog(*m_servos);
            dialog.Text1(1)->setText(QString());
            dialog.Check1(2)->setChecked(true);
            dialog.Check1(3)->setChecked(false);
            QTest::mouseClick(ok ? dialog.Command1() : dialog.Command2(), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
            QCOMPARE(m_servos->Label(1), ok ? QString() : QStringLiteral("Jaw"));
            QCOMPARE(m_servos->Enabled(2), ok);
            QCOMPARE(m_servos->Enabled(3), !ok);
        }
    }
};

TQ_TEST_GUI_MAIN(TestServoEdit)
#include "tst_frmServoEdit.moc"
