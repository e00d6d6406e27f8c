#include "link/SerialPortMap.h"

#include "platform/AppError.h"
#include "platform/cRegistry.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace SerialPortMap {

namespace {

cRegistry portValue(int port)
{
    return cRegistry::AppKey(QStringLiteral("Comm Port %1").arg(port), cRegistry::Text, QStringLiteral("Serial Ports"));
}

bool validPort(int port)
{
    return port >= kFirstPort && port <= kLastPort;
}

} // namespace

QString DefaultDevicePath(int port)
{
    switch (port) {
    case 1:
        return QStringLiteral("/dev/ttyS0");
    case 2:
        return QStringLiteral("/dev/ttyS1");
    case 3:
        return QStringLiteral("/dev/ttyUSB0");
    case 4:
        return QStringLiteral("/dev/ttyACM0");
    default:
        return QString();
    }
}

QString DevicePath(int port)
{
    if (!validPort(port))
        return QString();
    cRegistry reg = portValue(port);
    reg.SetDefault(QString());
    const QString stored = reg.Value().toString().trimmed();
    return stored.isEmpty() ? DefaultDevicePath(port) : stored;
}

void SetDevicePath(int port, const QString &path)
{
    if (!validPort(port))
        throw AppError::invalidArgument();
    cRegistry reg = portValue(port);
    const QString trimmed = path.trimmed();
    // The default is stored as nothing, so a changed default reaches users who never chose.
    reg.SetValue(trimmed == DefaultDevicePath(port) ? QString() : trimmed);
}

QString PreferStableName(const QString &systemPath, const QString &byIdFolder)
{
    const QString target = QFileInfo(systemPath).canonicalFilePath();
    if (target.isEmpty())
        return systemPath;
    const QFileInfoList entries = QDir(byIdFolder).entryInfoList(QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink() && entry.canonicalFilePath() == target)
            return entry.absoluteFilePath();
    }
    return systemPath;
}

QList<DetectedPort> DetectedPorts()
{
    QList<DetectedPort> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        DetectedPort port;
        port.systemPath = info.systemLocation();
        port.path = PreferStableName(port.systemPath);
        QStringList words;
        if (!info.manufacturer().isEmpty())
            words << info.manufacturer();
        if (!info.description().isEmpty() && info.description() != info.manufacturer())
            words << info.description();
        port.description = words.join(QLatin1Char(' '));
        ports << port;
    }
    return ports;
}

} // namespace SerialPortMap
