// "running_copy FILE ACTION": the application as `taveloq FILE` runs it, which
// once FILE is open does what a user does: "log" clicks servo 3's Log button,
// "smart" sets the Inter-Instruction Delay to Smart in the grid. Then it tells
// "ready" and runs on until it is ended.

#include "mainwindow/MDIForm1.h"
#include "mainwindow/grid/PropertyGridModel.h"
#include "servos/frmServoControl.h"
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QFileInfo>
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
            if (!main || !main->windowTitle().contains(QFileInfo(args.at(1)).fileName()))
                continue;
            poll.stop();
            if (args.at(2) == QLatin1String("log"))
                main->ServoControl()->cmdLog(3)->click();
            else
                main->findChild<PropertyGridModel *>()->SetCellText(PropertyGridModel::InterInstructionDelay, 2,
                                                                     QStringLiteral("Smart"));
            std::puts("ready");
            std::fflush(stdout);
        }
    });
    poll.start(20);
    return RunApplication(args.at(1));
}
