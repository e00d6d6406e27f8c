#include "support/TestSupport.h"

#include "link/EditSerialPorts.h"
#include "link/SerialPortMap.h"
#include "link/frmSerialPorts.h"
#include "link/vboard/VirtualBoard.h"
#include "platform/AppError.h"
#include "support/ModalDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>

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
        const QStringList mapping{"/dev/ttyS0", "/tmp/board", "/dev/serial/by-id/usb-Maker_Board-if00", "/dev/ttyACM0"};
        dialog.SetMapping(mapping);
        auto *port3 = dialog.findChild<QComboBox *>(QStringLiteral("cboPort3"));
        QVERIFY(port3);
        QCOMPARE(dialog.Mapping(), mapping); // the path alone, whatever the entry shows
        port3->setEditText(QStringLiteral(" /dev/ttyACM1 "));
        QCOMPARE(dialog.Mapping().at(2), QStringLiteral("/dev/ttyACM1"));
    }

    // Cancel stores nothing; a store that refuses is told, and the dialog comes back with the choice.
    void editSerialPorts()
    {
        const QString store = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Taveloq");
        for (const QString run : {"cancel: /dev/ttyS1 stored /dev/ttyS1", "accept: /dev/ttyS1 stored /tmp/vboard",
                                  "refused: /dev/ttyS1 /tmp/vboard stored /dev/ttyS1"}) {
            const QString how = run.section(QLatin1Char(':'), 0, 0);
            if (how == QLatin1String("refused")) // the store's folder a file: every write fails
                QVERIFY(QDir(store).removeRecursively() && QFile(store).open(QIODevice::WriteOnly));
            QStringList seen{how + QLatin1Char(':')};
            bool shown = false;
            std::function<void(frmSerialPorts *)> answer = [&](frmSerialPorts *dialog) {
                seen << dialog->Mapping().at(1);
                if (how == QLatin1String("cancel") || seen.size() > 2)
                    return dialog->reject();
                dialog->findChild<QComboBox *>(QStringLiteral("cboPort2"))->setEditText(QStringLiteral("/tmp/vboard"));
                dialog->accept(); // hidden at once: a dialog shown next is the one come back
                if (how == QLatin1String("refused"))
                    WhenShown<frmSerialPorts>(answer, &shown);
            };
            WhenShown<frmSerialPorts>(answer, &shown);
            QCOMPARE(EditSerialPorts(nullptr), how == QLatin1String("accept"));
            QCOMPARE((seen << QStringLiteral("stored") << SerialPortMap::DevicePath(2)).join(QLatin1Char(' ')), run);
            QCOMPARE(TestMessages().takeTexts().size(), int(how == QLatin1String("refused")));
        }
        QVERIFY(QFile::remove(store));
    }
};

TQ_TEST_GUI_MAIN(TestSerialPorts)
#include "tst_frmSerialPorts.moc"
