#include "link/LinkTestSupport.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "support/TestSupport.h"

#include "GridTestDriver.h"

#include <QFile>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

/// The grid's choices through to the serial port, on a pseudo-terminal board.
class TestGridLink : public TestBase
{
    Q_OBJECT
private:
    std::unique_ptr<BoardRig> m_rig;
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<PropertyGridModel> m_cells;
    ServoLink *m_link = nullptr;
    VirtualBoard *m_board = nullptr;
    PropertyGridPanel *m_panel = nullptr;
    GridDriver m_driver{m_panel};

    void pick(int row, const QString &entry) { QVERIFY2(m_driver.pick(row, entry), qPrintable(entry)); }

private Q_SLOTS:
    // Grid, link and updater as the main window wires them; the board on port 3, Online.
    void init()
    {
        TestBase::init();
        m_rig = std::make_unique<BoardRig>(3);
        m_link = &m_rig->link;
        m_board = &m_rig->board;
        m_cells = std::make_unique<PropertyGridModel>(m_rig->properties, m_rig->session);
        m_window = std::make_unique<QWidget>();
        m_panel = new PropertyGridPanel(*m_cells, m_window.get());
        m_panel->Load();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

        pick(PropertyGridModel::CommPort, "3");
        QVERIFY(m_link->PortOpen());
        QCOMPARE(m_link->Settings(), QStringLiteral("2400,N,8,1"));
    }

    void cleanup()
    {
        m_window.reset();
        m_cells.reset();
        m_rig.reset();
        TestBase::cleanup();
    }

    void baudRateReopensThePortOnlyWhenOnline()
    {
        QCOMPARE(deviceSpeed(m_board->DevicePath()), speed_t(B2400));
        pick(PropertyGridModel::BaudRate, "9600");
        QVERIFY(m_link->PortOpen());
        QCOMPARE(deviceSpeed(m_board->DevicePath()), speed_t(B9600));
        m_link->SendServoFrame(3, 127);
        QCOMPARE(m_board->ReadBytes(3, 2000), Bytes({0xFF, 0x03, 0x7F}));

        pick(PropertyGridModel::CommPortStatus, "Offline");
        QVERIFY(!m_link->PortOpen());
        // Offline the other rows are applied, and the port stays closed.
        pick(PropertyGridModel::BaudRate, "2400");
        QVERIFY(!m_link->PortOpen());
        QCOMPARE(m_link->Settings(), QStringLiteral("2400,N,8,1"));
        QCOMPARE(m_rig->properties.Properties().BaudRate, QStringLiteral("2400"));

        pick(PropertyGridModel::CommPortStatus, "Online");
        QVERIFY(m_link->PortOpen());
        QCOMPARE(deviceSpeed(m_board->DevicePath()), speed_t(B2400));
    }

    void missingPortGoesBackAndOffline()
    {
        SerialPortMap::SetDevicePath(4, QStringLiteral("/dev/taveloq-no-such-device"));
        pick(PropertyGridModel::CommPort, "4");
        ExpectMessage(QStringLiteral("Comm Port 4is not available.  Taveloq will now go into Offline mode."),
                      MsgIcon::Information);
        QVERIFY(!m_link->PortOpen());
        // The grid shows the old port and Offline again.
        QCOMPARE(m_driver.shown(PropertyGridModel::CommPort), QStringLiteral("3"));
        QCOMPARE(m_driver.shown(PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        QCOMPARE(m_rig->properties.Properties().CommPort, QStringLiteral("3"));
        QCOMPARE(m_link->CommPort(), QStringLiteral("3"));
        QVERIFY(!m_driver.chooser()->isVisible());
    }

    void onlineOnAMissingPortStaysOffline()
    {
        pick(PropertyGridModel::CommPortStatus, "Offline");
        SerialPortMap::SetDevicePath(3, QStringLiteral("/dev/taveloq-no-such-device"));
        pick(PropertyGridModel::CommPortStatus, "Online");
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{"You have selected an invalid Comm Port.  Please try another Comm Port."});
        QVERIFY(!m_link->PortOpen());
        QCOMPARE(m_driver.shown(PropertyGridModel::CommPortStatus), QStringLiteral("Offline"));
        QVERIFY(!m_driver.chooser()->isVisible());
    }
};

TQ_TEST_GUI_MAIN(TestGridLink)
#include "tst_GridLink.moc"
