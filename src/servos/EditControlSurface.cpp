#include "servos/EditControlSurface.h"

#include "platform/AppError.h"
#include "platform/MessageService.h"
#include "servos/frmControlSurface.h"
#include "surface/OscSurface.h"

void EditControlSurface(OscSurface &surface, QWidget *parent)
{
    frmControlSurface dialog(SurfaceSettings::Load(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const SurfaceSettings chosen = dialog.Settings();
    try {
        chosen.Store();
    } catch (const AppError &e) {
        ShowUserMessage(QStringLiteral("The control surface choices could not be saved: ") + e.description(),
                        MsgButtons::Ok, MsgIcon::Critical);
    }
    surface.Apply(chosen);
}
