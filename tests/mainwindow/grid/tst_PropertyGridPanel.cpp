#include "execution/smart/frmSmart.h"
#include "link/LinkTestSupport.h"
#include "mainwindow/grid/CustomValueCheck.h"
#include "mainwindow/grid/GridChoices.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "mainwindow/grid/PropertyGridPanel.h"
#include "mainwindow/grid/cboEdit.h"
#include "mainwindow/grid/frmCustom.h"
#include "mainwindow/grid/sGrid.h"
#include "program/ProgramListing.h"
#include "support/ModalDialogs.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryFile>

#include <functional>
#include <memory>

namespace {
const QString kInvalid = QStringLiteral("The property value is invalid because:\r\n\r\n");

/// The property grid panel in a window over a board on Comm Port 1, Online.
struct GridRig : BoardRig
{
    GridRig()
    {
        window.resize(400, 400);
        panel->move(32, 24);
        panel->Load();
        window.show();
    }
    ProgramListing history{QString()}; // property steps write no file
    PropertyGridModel cells{properties, session, history};
    QWidget window;
    PropertyGridPanel *panel = new PropertyGridPanel(cells, &window);
};
} // namespace

/// The property grid panel as the user works it, with double-clicks on cells
/// and picks in the chooser, through to the serial port on a pseudo-terminal board.
class TestPropertyGridPanel : public TestBase
{
    Q_OBJECT
private:
    std::unique_ptr<GridRig> m_rig;

    sGrid *grid() const { return m_rig->panel->Grid(); }
    cboEdit *chooser() const { return m_rig->panel->Chooser(); }
    /// What the grid shows in the value cell of `row`.
    QString cell(int row) const { return grid()->GridCellDisplayText(row, 2); }

    QStringList chooserItems() const
    {
        QStringList items;
        for (int i = 0; i < chooser()->count(); ++i)
            items << chooser()->itemText(i);
        return items;
    }

    void doubleClick(int row, int column)
    {
        const QRect r = grid()->visualRect(grid()->model()->index(row - 1, column - 1));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, r.center());
    }

    /// Opens the chooser on the value cell of `row` and picks `entry`.
    void pick(int row, const QString &entry)
    {
        doubleClick(row, 2);
        const int at = chooser()->isVisible() ? chooser()->findText(entry) : -1;
        QVERIFY2(at >= 0, qPrintable(entry));
        chooser()->setCurrentIndex(at);
        emit chooser()->activated(at);
    }

    enum Answer { Ok, Cancel, Escape };
    // "Custom..." on a row, then the dialog gets `text` and OK, Cancel or Escape.
    void custom(int row, const QString &text, Answer answer = Ok)
    {
        bool seen = false;
        QString shownWhileOpen;
        QSignalSpy applied(&m_rig->properties, &ProgramPropertyStore::changed);
        WhenShown<frmCustom>(
            [&](frmCustom *dialog) {
                shownWhileOpen = cell(row) + QString::number(applied.count()); // shown, never applied
                dialog->Text1()->setText(text);
                if (answer == Escape)
                    QTest::keyClick(dialog, Qt::Key_Escape);
                else
                    QTest::mouseClick(answer == Ok ? dialog->Command1() : dialog->Command2(), Qt::LeftButton);
            },
            &seen);
        pick(row, QStringLiteral("Custom..."));
        QVERIFY(seen);
        QCOMPARE(shownWhileOpen, QStringLiteral("Custom...0"));
        QVERIFY(!chooser()->isVisible());
        QVERIFY(!m_rig->panel->OpenDialog());
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
        m_rig = std::make_unique<GridRig>();
        QVERIFY(QTest::qWaitForWindowExposed(&m_rig->window));
        m_rig->window.activateWindow();
    }

    void cleanup()
    {
        m_rig.reset();
        TestBase::cleanup();
    }

    void headingsNamesAndEnterOpenNothing()
    {
        bool cancelled = false;
        connect(grid(), &sGrid::GridEditRequest, this, [&](int, int, int, bool *cancel) { cancelled = *cancel; });
        for (const auto &[row, column] : {std::pair{1, 2}, {10, 1}, {2, 1}}) {
            doubleClick(row, column);
            QVERIFY(!chooser()->isVisible());
        }
        QVERIFY(cancelled);

        grid()->setCurrentIndex(grid()->model()->index(1, 1));
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Return);
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(grid()->currentIndex().row(), 2); // other keys still move
        QTest::keyClick(grid(), Qt::Key_Enter);
        QVERIFY(!chooser()->isVisible());
        QVERIFY(!QApplication::activeModalWidget());

        // F2 is the keyboard's way to edit a value cell.
        QTest::keyClick(grid(), Qt::Key_F2);
        QVERIFY(chooser()->isVisible());
        // Over its cell, in the panel's coordinates.
        QCOMPARE(chooser()->x(),
                 grid()->viewport()->mapTo(m_rig->panel, QPoint(0, 0)).x() + grid()->GridColumnWidth("Property"));
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
        QString start;
        WhenShown<frmCustom>(
            [&](frmCustom *dialog) {
                start = dialog->Text1()->selectedText();
                dialog->Text1()->setText("200");
                QTest::keyClick(dialog->Text1(), Qt::Key_Return);
            },
            &seen);
        pick(2, "Custom...");
        QVERIFY(seen);
        QCOMPARE(start, QStringLiteral("255"));
        QCOMPARE(cell(2), QStringLiteral("200"));

        doubleClick(2, 2);
        QCOMPARE(chooserItems(), (QStringList{"255", "Custom...", "200"}));
        QCOMPARE(chooser()->currentText(), QStringLiteral("200"));
    }

    void customValues_data() { AddTestDataRows(QStringLiteral("mainwindow/custom-values.txt")); }
    void customValues()
    {
        QFETCH(QStringList, row);
        const int at = row[1].toInt();
        custom(PropertyGridModel::ServoMax, "200");
        custom(at, row[2]);
        if (!row[3].isEmpty())
            ExpectMessage(kInvalid + "This value " + row[3] + ".\r\n", MsgIcon::Critical);
        QCOMPARE(cell(at), row[4]);
    }

    void cancelPutsBackThePreviousValue()
    {
        custom(PropertyGridModel::ServoMin, "20");
        // Escape (or closing the window) is a Cancel too: "Custom..." never stays.
        for (const Answer answer : {Cancel, Escape}) {
            custom(PropertyGridModel::ServoMin, "30", answer);
            QCOMPARE(cell(8), QStringLiteral("20"));
        }
    }

    void choiceListKeepsAnUnlistedCellTextLast()
    {
        // Exact comparison: "smart" is not the choice "Smart", so it comes last.
        m_rig->cells.SetCellText(PropertyGridModel::InterInstructionDelay, 2, "smart");
        doubleClick(3, 2);
        QCOMPARE(chooserItems(), (QStringList{"1000", "Smart", "Custom...", "smart"}));
        QCOMPARE(GridChoices::SelectionIndex({"255", "Custom..."}, "Custom"), 0);
    }

    void unreadableLimitIsAnErrorOfThatCheckAlone()
    {
        CustomValueCheck check;
        check.Check(PropertyGridModel::ServoMax, "200", ProgramProperties{.ServoCenter = "lots"});
        QVERIFY(!check.TooSmallFlag);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{"Routine Code: 0127\r\nError Numer: 13\r\nError Description: Type mismatch"});
    }

    void textFitsTheFont()
    {
        m_rig->window.setFont(QFont(QApplication::font().family(), 15));
        m_rig->panel->SetGridSizes();
        for (int column : {0, 1})
            QVERIFY(grid()->columnWidth(column) >= static_cast<QAbstractItemView *>(grid())->sizeHintForColumn(column));
        bool fits = false;
        WhenShown<frmCustom>(
            [&fits](frmCustom *d) {
                fits = d->Label1()->height() >= d->Label1()->heightForWidth(d->Label1()->width());
                d->reject();
            },
            &fits);
        pick(PropertyGridModel::SmartRating, "Custom...");
        QVERIFY(fits && chooser()->width() >= chooser()->sizeHint().width());
        QVERIFY(chooser()->height() <= grid()->rowHeight(0)); // it covers no row below its own
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
        TestMessages().queueAnswer(MsgAnswer::Yes);
        wizard([&](frmSmart *dialog) {
            QCOMPARE(cell(4), QStringLiteral("Wizard..."));
            dialog->Text1()->setText("0.19");
            QTest::mouseClick(dialog->Command2(), Qt::LeftButton);
        });
        QVERIFY(TestMessages().takeTexts().value(0).contains("\r\n1.27\r\n"));
        QCOMPARE(cell(4), QStringLiteral("1.27"));

        // No keeps the previous rating; the grid never keeps "Wizard...".
        TestMessages().queueAnswer(MsgAnswer::No);
        wizard([](frmSmart *dialog) { QTest::mouseClick(dialog->Command2(), Qt::LeftButton); });
        QVERIFY(TestMessages().takeTexts().value(0).contains("\r\n.15\r\n"));
        QCOMPARE(cell(4), QStringLiteral("1.27"));
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
    }

    void disabledDuringARun()
    {
        doubleClick(2, 2);
        QVERIFY(chooser()->isVisible());
        m_rig->panel->setEnabled(false);
        QVERIFY(!chooser()->isVisible());
        QCOMPARE(cell(2), QStringLiteral("255"));
        doubleClick(2, 2);
        QVERIFY(!chooser()->isVisible());
        m_rig->panel->setEnabled(true);
        doubleClick(2, 2);
        QVERIFY(chooser()->isVisible());
    }

    void baudRateReopensThePortOnlyWhenOnline()
    {
        pick(PropertyGridModel::BaudRate, "9600");
        QVERIFY(m_rig->link.PortOpen());
        QCOMPARE(deviceSpeed(m_rig->board.DevicePath()), speed_t(B9600));

        // Online and Offline drive the port alone: they apply none of the other rows.
        QSignalSpy applied(&m_rig->properties, &ProgramPropertyStore::changed);
        pick(PropertyGridModel::CommPortStatus, "Offline");
        QVERIFY(!m_rig->link.PortOpen());
        QCOMPARE(applied.count(), 0);
        // Offline the other rows are applied, and the port stays closed.
        pick(PropertyGridModel::BaudRate, "2400");
        QVERIFY(!m_rig->link.PortOpen());
        QCOMPARE(m_rig->link.Settings(), QStringLiteral("2400,N,8,1"));
        QCOMPARE(m_rig->properties.Properties().BaudRate, QStringLiteral("2400"));

        pick(PropertyGridModel::CommPortStatus, "Online");
        pick(PropertyGridModel::CommPortStatus, "Online"); // already open: nothing to report
        QVERIFY(m_rig->link.PortOpen());
        QCOMPARE(deviceSpeed(m_rig->board.DevicePath()), speed_t(B2400));
        QCOMPARE(applied.count(), 1);
    }

    // Going Online, or another port while Online: the grid goes back to the port in use, Offline.
    void portThatCannotOpenLeavesTheGridOffline_data()
    {
        AddTestDataRows(QStringLiteral("mainwindow/port-failures.txt"));
    }
    void portThatCannotOpenLeavesTheGridOffline()
    {
        QFETCH(QStringList, row);
        const bool online = row[1] == QLatin1String("Online");
        if (online)
            pick(PropertyGridModel::CommPortStatus, "Offline");
        ServoLink other(m_rig->properties);
        QTemporaryFile plain;
        if (row[2] == QLatin1String("in use")) {
            other.Open();
        } else {
            QVERIFY(row[2] == QLatin1String("missing") || plain.open());
            SerialPortMap::SetDevicePath(online ? 1 : row[1].toInt(),
                                         plain.isOpen() ? plain.fileName() : "/dev/taveloq-no-such-device");
        }
        pick(online ? PropertyGridModel::CommPortStatus : PropertyGridModel::CommPort, row[1]);
        const QStringList shown = TestMessages().takeTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith(row[3]), qPrintable(shown[0]));
        QVERIFY(!m_rig->link.PortOpen());
        QCOMPARE(cell(PropertyGridModel::CommPort), QStringLiteral("1"));
        QCOMPARE(cell(PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        QVERIFY(!chooser()->isVisible());
    }
};

TQ_TEST_GUI_MAIN(TestPropertyGridPanel)
#include "tst_PropertyGridPanel.moc"
