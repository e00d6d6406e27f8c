#include "support/TestSupport.h"

#include "link/SerialPortMap.h"
#include "link/frmSerialPorts.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/AppError.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

class TestSerialPorts : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void mappingDefaultsAndStore()
    {
        QVERIFY(SerialPortMap::DevicePath(0).isEmpty());
        QVERIFY(SerialPortMap::DevicePath(5).isEmpty());

        SerialPortMap::SetDevicePath(3, QStringLiteral("  /dev/serial/by-id/usb-board  "));
        QCOMPARE(SerialPortMap::DevicePath(3), QStringLiteral("/dev/serial/by-id/usb-board"));
        // Cleared, the default comes back.
        SerialPortMap::SetDevicePath(3, QString());
        QCOMPARE(SerialPortMap::DevicePath(3), QStringLiteral("/dev/ttyUSB0"));
        QVERIFY_THROWS_EXCEPTION(AppError, SerialPortMap::SetDevicePath(5, QStringLiteral("/dev/ttyS4")));
    }

    void stableNamePreferred()
    {
        VirtualBoard board;
        QTemporaryDir byId;
        const QString stable = byId.filePath(QStringLiteral("usb-Maker_Board_1234-if00-port0"));
        QVERIFY(QFile::link(board.DevicePath(), stable));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), byId.filePath(QStringLiteral("usb-other"))));
        QCOMPARE(SerialPortMap::PreferStableName(board.DevicePath(), byId.path()), stable);
        QCOMPARE(SerialPortMap::PreferStableName(QStringLiteral("/dev/tty"), byId.path()), QStringLiteral("/dev/tty"));
        QCOMPARE(SerialPortMap::PreferStableName(board.DevicePath(), byId.filePath(QStringLiteral("none"))),
                 board.DevicePath());
    }

    void dialogShowsDetectedAndTypedPaths()
    {
        const QList<SerialPortMap::DetectedPort> detected{
            {QStringLiteral("/dev/serial/by-id/usb-Maker_Board-if00"), QStringLiteral("/dev/ttyUSB0"),
             QStringLiteral("Maker Board")},
            {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS0"), QString()},
        };
        frmSerialPorts dialog(detected);
        dialog.SetMapping({QStringLiteral("/dev/ttyS0"), QStringLiteral("/tmp/board"),
                           QStringLiteral("/dev/serial/by-id/usb-Maker_Board-if00"), QStringLiteral("/dev/ttyACM0")});
        auto *port3 = dialog.findChild<QComboBox *>(QStringLiteral("cboPort3"));
        QVERIFY(port3);
        QVERIFY(port3->currentText().contains(QStringLiteral("Maker Board")));
        QVERIFY(port3->currentText().contains(QStringLiteral("/dev/ttyUSB0")));
        // What comes back is the path alone, whatever the entry shows.
        QCOMPARE(dialog.Mapping(), (QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/tmp/board"),
                                                QStringLiteral("/dev/serial/by-id/usb-Maker_Board-if00"),
                                                QStringLiteral("/dev/ttyACM0")}));

        port3->setEditText(QStringLiteral(" /dev/ttyACM1 "));
        QCOMPARE(dialog.Mapping().at(2), QStringLiteral("/dev/ttyACM1"));
    }

    void editMappingStoresOnlyWhenAccepted()
    {
        for (bool accept : {false, true}) {
            QTimer::singleShot(0, [accept] {
                auto *dialog = qobject_cast<frmSerialPorts *>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                dialog->findChild<QComboBox *>(QStringLiteral("cboPort2"))->setEditText(QStringLiteral("/tmp/vboard"));
                accept ? dialog->accept() : dialog->reject();
            });
            QCOMPARE(frmSerialPorts::EditMapping(nullptr), accept);
            QCOMPARE(SerialPortMap::DevicePath(2),
                     accept ? QStringLiteral("/tmp/vboard") : QStringLiteral("/dev/ttyS1"));
        }
        QCOMPARE(SerialPortMap::DevicePath(1), QStringLiteral("/dev/ttyS0"));
    }
};

TQ_TEST_GUI_MAIN(TestSerialPorts)
#include "tst_frmSerialPorts.moc"
