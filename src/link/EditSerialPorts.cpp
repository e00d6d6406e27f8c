#include "link/EditSerialPorts.h"

#include "link/SerialPortMap.h"
#include "link/frmSerialPorts.h"
#include "platform/AppError.h"
#include "platform/MessageService.h"

bool EditSerialPorts(QWidget *parent)
{
    frmSerialPorts dialog(SerialPortMap::DetectedPorts(), parent);
    QStringList current;
    for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port)
        current << SerialPortMap::DevicePath(port);
    dialog.SetMapping(current);
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.Mapping();
        try {
            for (int port = SerialPortMap::kFirstPort; port <= SerialPortMap::kLastPort; ++port)
                SerialPortMap::SetDevicePath(port, chosen[port - 1]);
            return true;
        } catch (const AppError &e) {
            ShowUserMessage(QStringLiteral("The serial port choices could not be saved: ") + e.description(),
                            MsgButtons::Ok, MsgIcon::Critical);
        }
    }
    return false;
}
