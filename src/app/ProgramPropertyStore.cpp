#include "app/ProgramPropertyStore.h"

QString ProgramProperties::*ProgramPropertyStore::member(Field field)
{
    switch (field) {
    case Field::SynchByte:
        return &ProgramProperties::SynchByte;
    case Field::InterInstructionDelay:
        return &ProgramProperties::InterInstructionDelay;
    case Field::SmartDelay:
        return &ProgramProperties::SmartDelay;
    case Field::ServoMax:
        return &ProgramProperties::ServoMax;
    case Field::ServoMin:
        return &ProgramProperties::ServoMin;
    case Field::ServoCenter:
        return &ProgramProperties::ServoCenter;
    case Field::CommPort:
        return &ProgramProperties::CommPort;
    case Field::BaudRate:
        break;
    }
    return &ProgramProperties::BaudRate;
}

QString ProgramPropertyStore::Value(Field field) const
{
    return m_properties.*member(field);
}

void ProgramPropertyStore::SetProperties(const ProgramProperties &properties)
{
    m_properties = properties;
    Q_EMIT changed();
}

void ProgramPropertyStore::SetValue(Field field, const QString &text)
{
    m_properties.*member(field) = text;
    Q_EMIT changed();
}
