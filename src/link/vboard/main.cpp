// taveloq-vboard: a servo board for people without one. It offers a serial
// device (a pseudo-terminal), decodes the three-byte frames Taveloq sends to
// it and prints each servo's new position with the time it arrived.

#include "link/vboard/VirtualBoard.h"
#include "platform/AppError.h"
#include "platform/CommandLine.h"
#include "platform/SignalWatcher.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("taveloq-vboard"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    CommandLine line(QStringLiteral("taveloq-vboard"));
    QCommandLineParser &parser = line.Parser();
    parser.setApplicationDescription(QStringLiteral(
        "A virtual servo board: opens a serial device for Taveloq and prints the servo positions it receives."));
    const QCommandLineOption linkOption(
        QStringList{QStringLiteral("l"), QStringLiteral("link")},
        QStringLiteral("Also make a symbolic link at <path> to the device, so its name stays the same between runs."),
        QStringLiteral("path"));
    const QCommandLineOption syncOption(
        QStringList{QStringLiteral("s"), QStringLiteral("sync")},
        QStringLiteral("The sync byte frames start with (the program's Synch Byte), 0 to 255; default 255."),
        QStringLiteral("byte"), QStringLiteral("255"));
    parser.addOption(linkOption);
    parser.addOption(syncOption);
    if (const auto status = line.Read(app.arguments()))
        return *status;

    bool ok = false;
    const int sync = parser.value(syncOption).toInt(&ok);
    if (!ok || sync < 0 || sync > 255)
        return line.BadUsage(QStringLiteral("the sync byte must be a number from 0 to 255"));

    try {
        VirtualBoard board{quint8(sync)};
        QString device = board.DevicePath();
        if (parser.isSet(linkOption)) {
            board.MakeLink(parser.value(linkOption));
            device = parser.value(linkOption);
        }
        // No event loop runs here: the loop below looks at the count between its reads, which a
        // signal cuts short.
        const SignalWatcher watcher({SIGINT, SIGTERM});

        std::printf("Virtual servo board on %s\n", qPrintable(device));
        std::printf("In Taveloq choose Options > Serial Ports..., set a Comm Port to %s and go Online.\n",
                    qPrintable(device));
        std::printf("Sync byte %d. Ctrl+C stops.\n", sync);
        std::fflush(stdout);

        qint64 skipped = 0;
        while (SignalWatcher::Received() == 0) {
            const QByteArray bytes = board.ReadAvailable(200);
            if (bytes.isEmpty())
                continue;
            const QString now = QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz"));
            for (const ServoFrame &f : board.Decode(bytes))
                std::printf("%s  servo %2d  position %3d\n", qPrintable(now), f.servo, f.position);
            if (board.Decoder().SkippedBytes() != skipped) {
                std::printf("%s  skipped %lld byte(s) that began no frame\n", qPrintable(now),
                            static_cast<long long>(board.Decoder().SkippedBytes() - skipped));
                skipped = board.Decoder().SkippedBytes();
            }
            std::fflush(stdout);
        }
    } catch (const AppError &e) {
        return line.Fail(e.description());
    }

    return 0;
}
