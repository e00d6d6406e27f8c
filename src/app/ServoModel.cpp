#include "app/ServoModel.h"

ServoModel::ServoModel()
{
    for (int servo = 0; servo < kServoCount; ++servo) {
        m_labels[servo] = DefaultLabel(servo);
        m_enabled[servo] = true;
    }
}

QString ServoModel::DefaultLabel(int servo)
{
    return QStringLiteral("Servo #") + QString::number(servo);
}

void ServoModel::SetLabel(int servo, const QString &label)
{
    if (m_labels.at(servo) == label)
        return;
    m_labels[servo] = label;
    Q_EMIT labelChanged(servo);
}

void ServoModel::SetEnabled(int servo, bool enabled)
{
    if (m_enabled.at(servo) == enabled)
        return;
    m_enabled[servo] = enabled;
    Q_EMIT enabledChanged(servo);
}

void ServoModel::SetPosition(int servo, qint16 position)
{
    if (m_positions.at(servo) == position)
        return;
    m_positions[servo] = position;
    Q_EMIT positionChanged(servo);
}

void ServoModel::SetPositions(const std::array<qint16, kServoCount> &positions)
{
    for (int servo = 0; servo < kServoCount; ++servo)
        SetPosition(servo, positions[servo]);
}

void ServoModel::SetLoadedScripts(const QStringList &names)
{
    m_scripts = names;
    Q_EMIT loadedScriptsChanged();
}
