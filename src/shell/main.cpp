#include "shell/ApplicationMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Taveloq"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));
    return RunApplication();
}
