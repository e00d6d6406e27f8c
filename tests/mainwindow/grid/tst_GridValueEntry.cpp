#include "app/AppComponents.h"
#include "app/AppState.h"
#include "mainwindow/PropertyGridModel.h"
#include "mainwindow/grid/CustomValueCheck.h"
#include "mainwindow/grid/GridChoices.h"
#include "mainwindow/grid/GridValueEntry.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

namespace {

const QString kHeader = QStringLiteral("The property value is invalid because:\r\n\r\n");

// Applies the grid the way the program does and counts how often.
class CountingApplier final : public IPropertyGrid
{
public:
    explicit CountingApplier(PropertyGridModel &cells)
        : m_cells(cells)
    {
    }
    void UpdateGridFromProperties() override { m_cells.UpdateGridFromProperties(); }
    void UpdatePropertiesFromGrid() override
    {
        ++applied;
        m_cells.UpdatePropertiesFromGrid();
    }
    int applied = 0;

private:
    PropertyGridModel &m_cells;
};

// A port that records what was asked of it; open can be made to fail.
struct FakePort
{
    bool open = false;
    int failWith = 0;
    QStringList calls;
    GridValueEntry::LinkControl control()
    {
        return {[this] { return open; },
                [this] {
                    calls << QStringLiteral("open");
                    if (failWith)
                        throw AppError(failWith, QStringLiteral("Device not found"));
                    open = true;
                },
                [this] {
                    calls << QStringLiteral("close");
                    open = false;
                }};
    }
};

} // namespace

class TestGridValueEntry : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void choiceListKeepsAnUnlistedCellTextLast()
    {
        PropertyGridModel cells;
        CountingApplier applier(cells);
        GridValueEntry entry(cells, applier);
        // Exact comparison: "smart" is not the choice "Smart", so it comes last.
        cells.SetCellText(PropertyGridModel::InterInstructionDelay, 2, "smart");
        const GridValueEntry::EditResponse r = entry.GridEditRequest(PropertyGridModel::InterInstructionDelay, 2, 0);
        QVERIFY(r.show);
        QCOMPARE(r.entries, (QStringList{"1000", "Smart", "Custom...", "smart"}));
        QCOMPARE(GridChoices::SelectionIndex({"255", "Custom..."}, "Custom"), 0);
    }

    void gridCellValueKeepsTheLastTwoTexts()
    {
        PropertyGridModel cells;
        CountingApplier applier(cells);
        GridValueEntry entry(cells, applier);
        entry.GridSelectionChange(2, 2);
        entry.GridSelectionChange(3, 1);
        QCOMPARE(App().GridCellValue[0], QStringLiteral("Inter-Instruction Delay"));
        QCOMPARE(App().GridCellValue[1], QStringLiteral("255"));
    }

    void messageListsEachSetFlagInOrder()
    {
        CustomValueCheck check;
        QVERIFY(check.InvalidValueMessage().isEmpty());
        QVERIFY(!check.ReportInvalidValue());
        check.NotNumericFlag = check.TooSmallFlag = check.TooLargeFlag = check.DecimalFlag = true;
        QCOMPARE(check.InvalidValueMessage(),
                 kHeader + "This value must be numeric.\r\nThis value is too small.\r\nThis value is too large.\r\n"
                           "This value can not contain a decimal.\r\n");
        check.NotNumericFlag = check.TooLargeFlag = false;
        QVERIFY(check.ReportInvalidValue());
        ExpectMessage(kHeader + "This value is too small.\r\nThis value can not contain a decimal.\r\n",
                      MsgIcon::Critical);
    }

    // The cases the window test works through the grid (256, letters, 12.5,
    // 0.25, Servo Max against Servo Center, 32-bit overflow) are not repeated here.
    void valueRules_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reasons");

        QTest::newRow("sync 255") << 2 << "255"
                                  << "";
        QTest::newRow("sync -1") << 2 << "-1"
                                 << "S";
        QTest::newRow("sync 255.5 rounds to 256") << 2 << "255.5"
                                                  << "LD";
        QTest::newRow("letters with a point") << 9 << "a.b"
                                              << "N";
        QTest::newRow("grouped digits") << 3 << "1,000"
                                        << "";
        QTest::newRow("blanks around") << 2 << " 12 "
                                       << "";
        QTest::newRow("delay 12.4") << 3 << "12.4"
                                    << "D";
        QTest::newRow("delay 65535") << 3 << "65535"
                                     << "L";
        QTest::newRow("smart -0.4 rounds to 0") << 4 << "-0.4"
                                                << "";
        QTest::newRow("smart 65534.6") << 4 << "65534.6"
                                       << "L";
        QTest::newRow("beyond 32 bits below") << 8 << "-3000000000"
                                              << "S";
        QTest::newRow("min equal to center") << 8 << "127"
                                             << "";
        QTest::newRow("min above center") << 8 << "128"
                                          << "L";
        QTest::newRow("center at min") << 9 << "0"
                                       << "";
    }

    void valueRules()
    {
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, reasons);
        CustomValueCheck check;
        check.Check(row, text);
        QCOMPARE(check.NotNumericFlag, reasons.contains('N'));
        QCOMPARE(check.TooSmallFlag, reasons.contains('S'));
        QCOMPARE(check.TooLargeFlag, reasons.contains('L'));
        QCOMPARE(check.DecimalFlag, reasons.contains('D'));
    }

    void limitsAreReadWhenChecked()
    {
        CustomValueCheck check;
        App().Properties.ServoMin = "100";
        App().Properties.ServoMax = "150";
        check.Check(PropertyGridModel::ServoCenter, "99");
        QVERIFY(check.TooSmallFlag);
        check.Check(PropertyGridModel::ServoCenter, "150");
        QVERIFY(!check.TooLargeFlag && !check.TooSmallFlag);

        // A limit that cannot be converted is an error of that check alone.
        App().Properties.ServoCenter = "lots";
        check.Check(PropertyGridModel::ServoMax, "200");
        QVERIFY(!check.TooSmallFlag);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{"Routine Code: 0127\r\nError Numer: 13\r\nError Description: Type mismatch"});
    }

    void okAppliesTheTypedTextAsTyped()
    {
        PropertyGridModel cells;
        CountingApplier applier(cells);
        GridValueEntry entry(cells, applier);
        cells.SetCellText(PropertyGridModel::SynchByte, 2, "Custom...");
        entry.CustomOk(PropertyGridModel::SynchByte, " 1,00 ");
        QCOMPARE(cells.CellText(PropertyGridModel::SynchByte, 2), QStringLiteral(" 1,00 "));
        QCOMPARE(App().Properties.SynchByte, QStringLiteral(" 1,00 "));
        QCOMPARE(applier.applied, 1);

        // Rows without a rule change nothing.
        entry.CustomOk(PropertyGridModel::BaudRate, "1234");
        QCOMPARE(cells.CellText(PropertyGridModel::BaudRate, 2), QStringLiteral("2400"));
        QCOMPARE(applier.applied, 1);
    }

    void onlineAndOfflineDriveOnlyThePort()
    {
        PropertyGridModel cells;
        CountingApplier applier(cells);
        GridValueEntry entry(cells, applier);
        FakePort port;
        entry.SetLink(port.control());

        QCOMPARE(entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Offline"), GridValueEntry::Next::Done);
        QVERIFY(port.calls.isEmpty()); // already closed
        QCOMPARE(entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Online"), GridValueEntry::Next::Done);
        QVERIFY(port.open);
        QCOMPARE(entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Online"), GridValueEntry::Next::Done);
        QCOMPARE(entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Offline"), GridValueEntry::Next::Done);
        QCOMPARE(port.calls, (QStringList{"open", "close"}));
        QCOMPARE(cells.CellText(PropertyGridModel::CommPortStatus, 2), QStringLiteral("Offline"));
        // Neither choice applies the other rows.
        QCOMPARE(applier.applied, 0);
    }

    // A missing device (8002) is worked through the grid on a real port.
    void onlineThatCannotOpenGoesOffline_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        QTest::newRow("in use") << 8005 << "You have selected an invalid Comm Port.  Please try another Comm Port.";
        QTest::newRow("other") << 63 << "Routine Code: 0051\r\nError Numer: 63\r\nError Description: Device not found";
    }

    void onlineThatCannotOpenGoesOffline()
    {
        QFETCH(int, error);
        QFETCH(QString, message);
        PropertyGridModel cells;
        CountingApplier applier(cells);
        GridValueEntry entry(cells, applier);
        FakePort port;
        port.failWith = error;
        entry.SetLink(port.control());
        cells.SetCellText(PropertyGridModel::CommPortStatus, 2, "Offline");

        QCOMPARE(entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Online"), GridValueEntry::Next::Done);
        QCOMPARE(TestMessages().takeTexts(), QStringList{message});
        QCOMPARE(cells.CellText(PropertyGridModel::CommPortStatus, 2), QStringLiteral("Offline"));
        QVERIFY(!port.open);
        QCOMPARE(applier.applied, 1);
    }
};

TQ_TEST_MAIN(TestGridValueEntry)
#include "tst_GridValueEntry.moc"
