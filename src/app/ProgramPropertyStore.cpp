#include "app/ProgramPropertyStore.h"

QString ProgramPropertyStore::Value(Field field) const
{
    return m_properties.*MemberOf(field);
}

void ProgramPropertyStore::SetProperties(const ProgramProperties &properties)
{
    m_properties = properties;
    Q_EMIT changed();
}

void ProgramPropertyStore::SetValue(Field field, const QString &text)
{
    m_properties.*MemberOf(field) = text;
    Q_EMIT changed();
}
