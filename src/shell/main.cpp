#include "platform/Version.h"
#include "shell/ApplicationMain.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Taveloq"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Compose, play and export servo programs."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A program file to open."),
                                 QStringLiteral("[file]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    return RunApplication(files.value(0));
}
