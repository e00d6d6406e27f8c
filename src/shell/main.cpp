#include "platform/Version.h"
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Taveloq"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    // Lets the desktop match the windows with the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.taveloq"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Compose, play and export servo programs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption checkOption(
        QStringLiteral("check"), QStringLiteral("Start, open [file], print the program and the help file found, and "
                                                "exit: 0 when both were found. For packagers and CI."));
    parser.addOption(checkOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A program file to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(checkOption))
        return CheckApplication(files.value(0));
    return RunApplication(files.value(0));
}
