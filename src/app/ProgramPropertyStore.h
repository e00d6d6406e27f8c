#pragma once

#include "app/ProgramProperties.h"

#include <QObject>

/// The one store of the eight program properties. The file reader and the
/// grid write it; the link, the grid and the windows that depend on the
/// limits follow its change signal, so nobody copies properties by hand.
class ProgramPropertyStore final : public QObject
{
    Q_OBJECT
public:
    using Field = PropertyField;

    using QObject::QObject;

    const ProgramProperties &Properties() const { return m_properties; }
    QString Value(Field field) const;

    /// Replaces all eight; `changed` follows even when nothing differs, since
    /// applying the same values again is what reconfigures the port.
    void SetProperties(const ProgramProperties &properties);
    void SetValue(Field field, const QString &text);

Q_SIGNALS:
    void changed();

private:
    ProgramProperties m_properties;
};
