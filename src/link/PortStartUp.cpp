#include "link/PortStartUp.h"

#include "app/AppState.h"
#include "link/ServoLink.h"
#include "mainwindow/PropertyGridModel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"

bool OpenPortAtStartUp(ServoLink &link, PropertyGridModel &grid)
{
    const ProgramProperties &p = App().Properties;
    try {
        if (p.BaudRate == QLatin1String("2400"))
            link.SetSettings(QStringLiteral("2400,N,8,1"));
        else if (p.BaudRate == QLatin1String("9600"))
            link.SetSettings(QStringLiteral("9600,N,8,1"));
        link.SetCommPort(p.CommPort);
        link.Open();
        return true;
    } catch (const AppError &e) {
        if (e.number() == LinkError::kPortInUse) {
            ShowUserMessage(QStringLiteral("Comm Port ") + p.CommPort +
                                QStringLiteral(" is not available.  Taveloq will go into Offline mode."),
                            MsgButtons::OkCancel, MsgIcon::Information);
            grid.SetCellText(PropertyGridModel::CommPortStatus, 2, QStringLiteral("Offline"));
        } else {
            ErrorReport(QStringLiteral("0009"), e);
        }
        return false;
    }
}
