#include "platform/CommandLine.h"
#include "platform/Version.h"
#include "shell/ApplicationMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Taveloq"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    CommandLine line(QStringLiteral("taveloq"));
    QCommandLineParser &parser = line.Parser();
    parser.setApplicationDescription(QStringLiteral("Compose, play and export servo programs."));
    const QCommandLineOption checkOption(
        QStringLiteral("check"), QStringLiteral("Start, open [file], print the program and the help file found, and "
                                                "exit: 0 when both were found. For packagers and CI."));
    parser.addOption(checkOption);
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A program file to open."),
                                 QStringLiteral("[file]"));
    // Answered before the application object, which needs a display: over SSH or in a packaging
    // script too.
    if (const auto status = line.Read(CommandLine::WithoutQtOptions(CommandLine::Arguments(argc, argv))))
        return *status;

    QApplication app(argc, argv);
    // Lets the desktop match the windows with the installed desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.taveloq"));
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(checkOption))
        return CheckApplication(files.value(0));
    return RunApplication(files.value(0));
}
