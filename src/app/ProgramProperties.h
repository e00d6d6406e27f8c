#pragma once

#include <QString>

/// The eight program properties, always held as text as the files carry them.
struct ProgramProperties
{
    QString SynchByte = QStringLiteral("255");
    QString InterInstructionDelay = QStringLiteral("1000");
    QString SmartDelay = QStringLiteral("(None)");
    QString ServoMax = QStringLiteral("254");
    QString ServoMin = QStringLiteral("0");
    QString ServoCenter = QStringLiteral("127");
    QString CommPort = QStringLiteral("1");
    QString BaudRate = QStringLiteral("2400");

    bool operator==(const ProgramProperties &) const = default;
};
