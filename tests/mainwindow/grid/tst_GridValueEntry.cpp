#include "link/LinkTestSupport.h"
#include "mainwindow/grid/CustomValueCheck.h"
#include "mainwindow/grid/GridChoices.h"
#include "mainwindow/grid/GridValueEntry.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "platform/AppError.h"
#include "support/TestSupport.h"

#include <QSignalSpy>
#include <QTemporaryFile>

namespace {

const QString kHeader = QStringLiteral("The property value is invalid because:\r\n\r\n");

} // namespace

class TestGridValueEntry : public TestBase
{
    Q_OBJECT

    // The grid's model and value entry over a board on Comm Port 1, Online.
    struct Rig : BoardRig
    {
        PropertyGridModel cells{properties, session};
        GridValueEntry entry{cells};
        QSignalSpy applied{&properties, &ProgramPropertyStore::changed};
    };

private Q_SLOTS:
    void choiceListKeepsAnUnlistedCellTextLast()
    {
        Rig rig;
        PropertyGridModel &cells = rig.cells;
        GridValueEntry &entry = rig.entry;
        // Exact comparison: "smart" is not the choice "Smart", so it comes last.
        cells.SetCellText(PropertyGridModel::InterInstructionDelay, 2, "smart");
        const GridValueEntry::EditResponse r = entry.GridEditRequest(PropertyGridModel::InterInstructionDelay, 2, 0);
        QVERIFY(r.show);
        QCOMPARE(r.entries, (QStringList{"1000", "Smart", "Custom...", "smart"}));
        QCOMPARE(GridChoices::SelectionIndex({"255", "Custom..."}, "Custom"), 0);
    }

    void gridCellValueKeepsTheLastTwoTexts()
    {
        Rig rig;
        rig.entry.GridSelectionChange(2, 2);
        rig.entry.GridSelectionChange(3, 1);
        QCOMPARE(rig.entry.GridCellValue()[0], QStringLiteral("Inter-Instruction Delay"));
        QCOMPARE(rig.entry.GridCellValue()[1], QStringLiteral("255"));
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
        check.Check(row, text, ProgramProperties{});
        QCOMPARE(check.NotNumericFlag, reasons.contains('N'));
        QCOMPARE(check.TooSmallFlag, reasons.contains('S'));
        QCOMPARE(check.TooLargeFlag, reasons.contains('L'));
        QCOMPARE(check.DecimalFlag, reasons.contains('D'));
    }

    void limitsAreReadWhenChecked()
    {
        CustomValueCheck check;
        ProgramProperties p{.ServoMax = "150", .ServoMin = "100"};
        check.Check(PropertyGridModel::ServoCenter, "99", p);
        QVERIFY(check.TooSmallFlag);
        check.Check(PropertyGridModel::ServoCenter, "150", p);
        QVERIFY(!check.TooLargeFlag && !check.TooSmallFlag);

        // A limit that cannot be converted is an error of that check alone.
        p.ServoCenter = "lots";
        check.Check(PropertyGridModel::ServoMax, "200", p);
        QVERIFY(!check.TooSmallFlag);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{"Routine Code: 0127\r\nError Numer: 13\r\nError Description: Type mismatch"});
    }

    void okAppliesTheTypedTextAsTyped()
    {
        Rig rig;
        rig.entry.ChoicePicked(PropertyGridModel::SynchByte, "Custom...");
        QCOMPARE(rig.cells.CellText(PropertyGridModel::SynchByte, 2), QStringLiteral("Custom..."));
        QCOMPARE(rig.applied.count(), 0); // shown while the dialog is open, never applied
        rig.entry.CustomOk(PropertyGridModel::SynchByte, " 1,00 ");
        QCOMPARE(rig.properties.Properties().SynchByte, QStringLiteral(" 1,00 "));
        QCOMPARE(rig.applied.count(), 1);

        // Rows without a rule change nothing.
        rig.entry.CustomOk(PropertyGridModel::BaudRate, "1234");
        QCOMPARE(rig.cells.CellText(PropertyGridModel::BaudRate, 2), QStringLiteral("2400"));
        QCOMPARE(rig.applied.count(), 1);
    }

    void onlineAndOfflineDriveOnlyThePort()
    {
        Rig rig;
        using Next = GridValueEntry::Next;
        for (const char *status : {"Offline", "Offline", "Online", "Online", "Offline"}) {
            QCOMPARE(rig.entry.ChoicePicked(PropertyGridModel::CommPortStatus, status), Next::Done);
            QCOMPARE(rig.link.PortOpen(), QByteArray(status) == "Online");
            QCOMPARE(rig.cells.CellText(PropertyGridModel::CommPortStatus, 2), QString::fromLatin1(status));
        }
        // Neither choice applies the other rows.
        QCOMPARE(rig.applied.count(), 0);
    }

    void onlineThatCannotOpenGoesOffline_data()
    {
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<QString>("message");
        QTest::newRow("in use") << true << "You have selected an invalid Comm Port.  Please try another Comm Port.";
        QTest::newRow("not a serial device") << false << "Routine Code: 0051\r\nError Numer: 63\r\n";
    }
    void onlineThatCannotOpenGoesOffline()
    {
        QFETCH(bool, inUse);
        QFETCH(QString, message);
        Rig rig;
        rig.entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Offline");
        ServoLink other(rig.properties);
        QTemporaryFile plain;
        if (inUse) {
            other.Open();
        } else {
            QVERIFY(plain.open());
            SerialPortMap::SetDevicePath(1, plain.fileName());
        }
        rig.entry.ChoicePicked(PropertyGridModel::CommPortStatus, "Online");
        QVERIFY2(TestMessages().takeTexts().value(0).startsWith(message), qPrintable(message));
        QCOMPARE(rig.cells.CellText(PropertyGridModel::CommPortStatus, 2), QStringLiteral("Offline"));
        QVERIFY(!rig.link.PortOpen());
    }
};

TQ_TEST_MAIN(TestGridValueEntry)
#include "tst_GridValueEntry.moc"
