// "running_copy FILE log|smart": `taveloq FILE`, which once FILE is open logs servo 3 or sets the
// Inter-Instruction Delay to Smart as a user does, tells "ready" and runs until it is ended.
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
    const QStringList args = app.arguments();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            auto *main = qobject_cast<MDIForm1 *>(window);
            if (!main || !main->windowTitle().contains(QStringLiteral("walk.tqp")))
                continue;
            poll.stop();
            if (args.at(2) == QLatin1String("log"))
                main->ServoControl()->cmdLog(3)->click();
            else
                main->findChild<PropertyGridModel *>()->SetCellText(PropertyGridModel::InterInstructionDelay, 2,
                                                                    "Smart");
            std::puts("ready");
            std::fflush(stdout);
        }
    });
    poll.start(20);
    return RunApplication(args.at(1));
}
