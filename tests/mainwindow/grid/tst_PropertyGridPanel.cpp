#include "execution/smart/frmSmart.h"
#include "link/LinkTestSupport.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "mainwindow/grid/cboEdit.h"
#include "mainwindow/grid/frmCustom.h"
#include "mainwindow/grid/sGrid.h"
#include "support/TestSupport.h"

#include "GridTestDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace {
const QString kInvalid = QStringLiteral("The property value is invalid because:\r\n\r\n");
} // namespace

class TestPropertyGridPanel : public TestBase
{
    Q_OBJECT
private:
    std::unique_ptr<BoardRig> m_rig;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<PropertyGridModel> m_cells;
    PropertyGridPanel *m_panel = nullptr;

    GridDriver m_driver{m_panel};

    sGrid *grid() const { return m_panel->Grid(); }
    cboEdit *chooser() const { return m_panel->Chooser(); }
    QString cell(int row) const { return grid()->GridCellDisplayText(row, 2); }
    QStringList chooserItems() const { return m_driver.chooserItems(); }
    void doubleClick(int row, int column) { m_driver.doubleClick(row, column); }
    void pick(int row, const QString &entry) { QVERIFY2(m_driver.pick(row, entry), qPrintable(entry)); }

    // "Custom..." on a row, then the dialog gets `text` and OK (or Cancel).
    void custom(int row, const QString &text, bool ok = true)
    {
        bool seen = false;
        QString shownWhileOpen;
        WhenShown<frmCustom>(
            [&](frmCustom *dialog) {
                shownWhileOpen = cell(row);
                dialog->Text1()->setText(text);
                QTest::mouseClick(ok ? dialog->Command1() : dialog->Command2(), Qt::LeftButton);
            },
            &seen);
        pick(row, QStringLiteral("Custom..."));
        QVERIFY(seen);
        QCOMPARE(shownWhileOpen, QStringLiteral("Custom..."));
        QVERIFY(!chooser()->isVisible());
        QVERIFY(!m_panel->OpenDialog());
    }

    void wizard(std::function<void(frmSmart *)> act)
    {
        bool seen = false;
        WhenShown<frmSmart>(act, &seen);
        pick(PropertyGridModel::SmartRating, QStringLiteral("Wizard..."));
        QVERIFY(seen);
    }

private Q_SLOTS:
    void init()
    {
        TestBase::init();
        m_window = std::make_unique<QWidget>();
        m_window->resize(400, 400);
        m_rig = std::make_unique<BoardRig>();
        m_cells = std::make_unique<PropertyGridModel>(m_rig->properties, m_rig->session);
        m_panel = new PropertyGridPanel(*m_cells, m_window.get());
        m_panel->move(32, 24);
        m_panel->Load();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->activateWindow();
    }

    void cleanup()
    {
        m_window.reset();
        m_cells.reset();
        m_rig.reset();
        TestBase::cleanup();
    }

    void gridShowsTheModelWithHeadingsAndSizes()
    {
        QCOMPARE(grid()->model()->columnCount(), 2);
        QCOMPARE(grid()->GridCellText(4, 1), std::optional<QString>(QStringLiteral("Smart Rating")));
        QCOMPARE(grid()->GridCellText(11, 2), std::optional<QString>(QStringLiteral("Online")));
        QCOMPARE(grid()->GridCellText(1, 2), std::nullopt);
        QVERIFY(grid()->GridCellBackColor(1, 1) >= 0);
        QCOMPARE(grid()->GridCellBackColor(2, 2), qint64(-1));
        // Every row and the header show without scrolling.
        QCOMPARE(grid()->height(), grid()->GridRowHeight(1) * 13);
        // The cell rectangle is in the panel's coordinates, where the chooser lives.
        const QRect r = grid()->GridCellRect(2, 2);
        QCOMPARE(r.left(), grid()->viewport()->mapTo(m_panel, QPoint(0, 0)).x() + grid()->GridColumnWidth("Property"));

        // A file reader's properties show at once.
        m_rig->properties.SetValue(ProgramPropertyStore::Field::ServoMax, "200");
        QCOMPARE(grid()->model()->data(grid()->model()->index(6, 1)).toString(), QStringLiteral("200"));
    }

    void headingsNamesAndEnterOpenNothing()
    {
        bool cancelled = false;
        connect(grid(), &sGrid::GridEditRequest, this, [&](int, int, int, bool *cancel) { cancelled = *cancel; });
        doubleClick(1, 2);
        QVERIFY(!chooser()->isVisible());
        doubleClick(10, 1);
        QVERIFY(!chooser()->isVisible());
        doubleClick(2, 1);
        QVERIFY(!chooser()->isVisible());
        QVERIFY(cancelled);

        grid()->setCurrentIndex(grid()->model()->index(1, 1));
        grid()->setFocus();
        QList<int> keysSeen;
        connect(grid(), &sGrid::GridKeyPress, this, [&](int *key) { keysSeen << *key; });
        QTest::keyClick(grid(), Qt::Key_Return);
        QCOMPARE(keysSeen, QList<int>{0}); // the grid's handler swallowed it
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(grid()->currentIndex().row(), 2); // other keys still move
        QTest::keyClick(grid(), Qt::Key_Enter);
        QVERIFY(!chooser()->isVisible());
        QVERIFY(!QApplication::activeModalWidget());

        // F2 is the keyboard's way to edit a value cell.
        QTest::keyClick(grid(), Qt::Key_F2);
        QVERIFY(chooser()->isVisible());
        QCOMPARE(chooser()->Tag(), QStringLiteral("3"));
        QCOMPARE(chooserItems(), (QStringList{"1000", "Smart", "Custom..."}));
        QCOMPARE(chooser()->geometry().topLeft(), grid()->GridCellRect(3, 2).topLeft());
        QCOMPARE(chooser()->width(), grid()->GridCellRect(3, 2).width());
        // Scrolling or resizing a column hides it: it would no longer sit over its cell.
        grid()->SetGridColumnWidth("Value", 50);
        QVERIFY(!chooser()->isVisible());

        QTest::keyClick(grid(), Qt::Key_F2);
        QTest::keyClick(chooser(), Qt::Key_Down); // only moves the highlight; Enter applies it
        QCOMPARE(cell(3), QStringLiteral("1000"));
        QTest::keyClick(chooser(), Qt::Key_Return);
        QCOMPARE(cell(3), QStringLiteral("Smart"));
    }

    void synchByteOffersTheCustomValueAfterwards()
    {
        doubleClick(2, 2);
        QCOMPARE(chooserItems(), (QStringList{"255", "Custom..."}));
        QCOMPARE(chooser()->currentText(), QStringLiteral("255"));

        bool seen = false;
        QString prompt, start;
        WhenShown<frmCustom>(
            [&](frmCustom *dialog) {
                prompt = dialog->Label1()->text();
                start = dialog->Text1()->selectedText();
                dialog->Text1()->setText("200");
                QTest::keyClick(dialog->Text1(), Qt::Key_Return);
            },
            &seen);
        const int at = chooser()->findText("Custom...");
        chooser()->setCurrentIndex(at);
        emit chooser()->activated(at);
        QVERIFY(seen);
        QCOMPARE(prompt, QStringLiteral("Please enter your custom Synch Byte value."));
        QCOMPARE(start, QStringLiteral("255"));
        QCOMPARE(cell(2), QStringLiteral("200"));
        QCOMPARE(m_rig->properties.Properties().SynchByte, QStringLiteral("200"));

        doubleClick(2, 2);
        QCOMPARE(chooserItems(), (QStringList{"255", "Custom...", "200"}));
        QCOMPARE(chooser()->currentText(), QStringLiteral("200"));
    }

    void refusedValuesFallBackToTheDefault()
    {
        custom(PropertyGridModel::SynchByte, "200");
        custom(PropertyGridModel::SynchByte, "256");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value is too large.\r\n"});
        QCOMPARE(cell(2), QStringLiteral("255"));
        QCOMPARE(m_rig->properties.Properties().SynchByte, QStringLiteral("255"));

        custom(PropertyGridModel::SynchByte, "abc");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value must be numeric.\r\n"});
        custom(PropertyGridModel::SynchByte, "12.5");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value can not contain a decimal.\r\n"});
        QCOMPARE(cell(2), QStringLiteral("255"));
        custom(PropertyGridModel::InterInstructionDelay, "99999999999");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value is too large.\r\n"});
        QCOMPARE(cell(3), QStringLiteral("1000"));

        custom(PropertyGridModel::SmartRating, "0.25");
        QCOMPARE(cell(4), QStringLiteral("0.25"));
        QCOMPARE(m_rig->properties.Properties().SmartDelay, QStringLiteral("0.25"));
    }

    void servoLimitsAreCheckedAgainstEachOther()
    {
        custom(PropertyGridModel::ServoMax, "127"); // equal to Servo Center
        QCOMPARE(m_rig->properties.Properties().ServoMax, QStringLiteral("127"));
        custom(PropertyGridModel::ServoMax, "126");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value is too small.\r\n"});
        QCOMPARE(cell(7), QStringLiteral("254"));

        custom(PropertyGridModel::ServoMax, "200");
        custom(PropertyGridModel::ServoCenter, "201");
        QCOMPARE(TestMessages().takeTexts(), QStringList{kInvalid + "This value is too large.\r\n"});
        QCOMPARE(cell(9), QStringLiteral("127"));
        custom(PropertyGridModel::ServoCenter, "200");
        QCOMPARE(m_rig->properties.Properties().ServoCenter, QStringLiteral("200"));
    }

    void cancelPutsBackThePreviousValue()
    {
        custom(PropertyGridModel::ServoMin, "20");
        custom(PropertyGridModel::ServoMin, "30", false);
        QCOMPARE(cell(8), QStringLiteral("20"));
        QCOMPARE(m_rig->properties.Properties().ServoMin, QStringLiteral("20"));

        // Escape (or closing the window) is a Cancel too: "Custom..." never stays.
        bool seen = false;
        WhenShown<frmCustom>([](frmCustom *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); }, &seen);
        pick(PropertyGridModel::ServoMin, "Custom...");
        QVERIFY(seen);
        QCOMPARE(cell(8), QStringLiteral("20"));
    }

    void plainChoicesApplyTheGrid()
    {
        pick(PropertyGridModel::InterInstructionDelay, "Smart");
        QCOMPARE(m_rig->properties.Properties().InterInstructionDelay, QStringLiteral("Smart"));
        QVERIFY(!chooser()->isVisible());
        pick(PropertyGridModel::CenterOnExecution, "False");
        QCOMPARE(cell(12), QStringLiteral("False"));
        // A pick is remembered: the value before it is the one to go back to.
        QCOMPARE(m_panel->Entry().GridCellValue()[0], QStringLiteral("True"));
    }

    void textFitsTheFont()
    {
        m_window->setFont(QFont(QApplication::font().family(), 15));
        m_panel->SetGridSizes();
        for (int column : {0, 1})
            QVERIFY(grid()->columnWidth(column) >= static_cast<QAbstractItemView *>(grid())->sizeHintForColumn(column));
        bool fits = false;
        const auto held = std::make_shared<int>(); // the dialog helper must let go of its action
        WhenShown<frmCustom>(
            [&fits, held](frmCustom *d) {
                fits = d->Label1()->height() >= d->Label1()->heightForWidth(d->Label1()->width());
                d->reject();
            },
            &fits);
        pick(PropertyGridModel::SmartRating, "Custom...");
        QVERIFY(fits && chooser()->width() >= chooser()->sizeHint().width());
        QTRY_COMPARE(held.use_count(), 1);
    }

    void chooserHidesWhenTheFocusLeaves()
    {
        doubleClick(6, 2);
        QVERIFY(chooser()->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return chooser()->hasFocus(); }, 1000));
        grid()->setFocus(Qt::MouseFocusReason);
        QVERIFY(!chooser()->isVisible());
        QCOMPARE(cell(6), QStringLiteral("2400"));
    }

    void calculatorSetsTheRating()
    {
        QString question;
        TestMessages().queueAnswer(MsgAnswer::Yes);
        wizard([&](frmSmart *dialog) {
            QCOMPARE(cell(4), QStringLiteral("Wizard..."));
            dialog->Text1()->setText("0.19");
            QTest::mouseClick(dialog->Command2(), Qt::LeftButton);
        });
        question = TestMessages().takeTexts().value(0);
        QCOMPARE(question, QStringLiteral("Using your current property values your Smart Rating was calculated to be"
                                          "\r\n\r\n1.27\r\n\r\nWould you like to set this as your smart rating?"));
        QCOMPARE(cell(4), QStringLiteral("1.27"));
        QCOMPARE(m_rig->properties.Properties().SmartDelay, QStringLiteral("1.27"));

        // No keeps the previous rating; the grid never keeps "Wizard...".
        TestMessages().queueAnswer(MsgAnswer::No);
        wizard([](frmSmart *dialog) { QTest::mouseClick(dialog->Command2(), Qt::LeftButton); });
        QVERIFY(TestMessages().takeTexts().value(0).contains("\r\n.15\r\n"));
        QCOMPARE(cell(4), QStringLiteral("1.27"));
        QCOMPARE(m_rig->properties.Properties().SmartDelay, QStringLiteral("1.27"));

        TestMessages().queueAnswer(MsgAnswer::Yes);
        wizard([](frmSmart *dialog) { QTest::mouseClick(dialog->Command2(), Qt::LeftButton); });
        TestMessages().take();
        QCOMPARE(cell(4), QStringLiteral(".15"));
    }

    void calculatorErrorKeepsTheWindowOpen()
    {
        m_rig->properties.SetProperties({.ServoMax = "10", .ServoMin = "10", .ServoCenter = "10"});
        bool stayedOpen = false;
        QString entry;
        wizard([&](frmSmart *dialog) {
            dialog->Text1()->setText("0.2");
            QTest::mouseClick(dialog->Command2(), Qt::LeftButton);
            stayedOpen = dialog->isVisible();
            entry = dialog->Text1()->text();
            QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
        });
        QVERIFY(stayedOpen);
        QCOMPARE(entry, QStringLiteral("0.2"));
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{"Routine Code: 0067\r\nError Numer: 11\r\nError Description: Division by zero"});
        QCOMPARE(cell(4), QStringLiteral("(None)"));
        QCOMPARE(m_rig->properties.Properties().SmartDelay, QStringLiteral("(None)"));
    }

    void disabledDuringARun()
    {
        doubleClick(2, 2);
        QVERIFY(chooser()->isVisible());
        m_panel->setEnabled(false);
        QVERIFY(!chooser()->isVisible());
        QCOMPARE(cell(2), QStringLiteral("255"));
        doubleClick(2, 2);
        QVERIFY(!chooser()->isVisible());
        m_panel->setEnabled(true);
        doubleClick(2, 2);
        QVERIFY(chooser()->isVisible());
    }
};

TQ_TEST_GUI_MAIN(TestPropertyGridPanel)
#include "tst_PropertyGridPanel.moc"
