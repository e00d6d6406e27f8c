// "running_copy FILE log|smart": `taveloq FILE` that, with FILE open, logs servo 3 or sets Smart timing.
#include "mainwindow/MDIForm1.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "servos/frmServoControl.h"
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (auto *main = qobject_cast<MDIForm1 *>(window); main && main->windowTitle().contains("walk.tqp")) {
                poll.stop();
                if (app.arguments().at(2) == QLatin1String("log"))
                    main->ServoControl()->cmdLog(3)->click();
                else
                    main->findChild<PropertyGridModel *>()->SetCellText(PropertyGridModel::InterInstructionDelay, 2,
                                                                        "Smart");
                std::fputs("ready\n", stdout), std::fflush(stdout);
            }
    });
    poll.start(20);
    return RunApplication(app.arguments().at(1));
}
