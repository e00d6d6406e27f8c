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

/// The eight properties by name, in the order of a program file's header.
enum class PropertyField {
    SynchByte,
    InterInstructionDelay,
    SmartDelay,
    ServoMax,
    ServoMin,
    ServoCenter,
    CommPort,
    BaudRate
};

/// The member that holds `field`.
constexpr QString ProgramProperties::*MemberOf(PropertyField field)
{
    switch (field) {
    case PropertyField::SynchByte:
        return &ProgramProperties::SynchByte;
    case PropertyField::InterInstructionDelay:
        return &ProgramProperties::InterInstructionDelay;
    case PropertyField::SmartDelay:
        return &ProgramProperties::SmartDelay;
    case PropertyField::ServoMax:
        return &ProgramProperties::ServoMax;
    case PropertyField::ServoMin:
        return &ProgramProperties::ServoMin;
    case PropertyField::ServoCenter:
        return &ProgramProperties::ServoCenter;
    case PropertyField::CommPort:
        return &ProgramProperties::CommPort;
    case PropertyField::BaudRate:
        break;
    }
    return &ProgramProperties::BaudRate;
}
