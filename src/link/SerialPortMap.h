#pragma once

#include <QList>
#include <QString>

/// Which device each Comm Port number stands for. Programs and the grid keep
/// the port numbers "1" to "4"; the device paths live in the settings store so
/// a user can point a number at the board's real device.
namespace SerialPortMap {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 4;

/// The device a port number starts out on: 1 /dev/ttyS0, 2 /dev/ttyS1 (the
/// machine's own serial ports), 3 /dev/ttyUSB0, 4 /dev/ttyACM0 (where USB
/// adapters and boards appear); empty outside 1..4.
QString DefaultDevicePath(int port);

/// The device mapped to a port number, from the settings store or its
/// default; empty when the number is outside 1..4.
QString DevicePath(int port);

/// Stores the device of a port number; an empty path goes back to the default.
/// Throws AppError when the store refuses or the number is outside 1..4.
void SetDevicePath(int port, const QString &path);

/// A serial device found on this machine.
struct DetectedPort
{
    QString path;        ///< the stable /dev/serial/by-id/ name when there is one
    QString systemPath;  ///< the kernel's name, /dev/ttyUSB0 and the like
    QString description; ///< maker and product as the device reports them
};

/// The serial devices QSerialPortInfo finds, by their stable names where they have one.
QList<DetectedPort> DetectedPorts();

/// The entry of byIdFolder that points at systemPath, or systemPath itself.
QString PreferStableName(const QString &systemPath, const QString &byIdFolder = QStringLiteral("/dev/serial/by-id"));

} // namespace SerialPortMap
