#include "mainwindow/MDIForm1.h"

#include "app/StartUp.h"

#include <QCloseEvent>
#include <QMenuBar>

MDIForm1::MDIForm1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Taveloq"));
    auto *file = menuBar()->addMenu(QStringLiteral("&File"));
    auto *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("miExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void MDIForm1::closeEvent(QCloseEvent *event)
{
    ShutdownQueryUnload();
    event->accept();
}
