#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

inline constexpr int kServoCount = 16;

/// The 16 servos as the program knows them: each one's label and enabled
/// state, the last position sent or set, and the scripts loaded for
/// inserting. The one owner of all of it: the Servo Controller and its
/// sliders show it, the labels editor and the configuration files change it,
/// runs read and update the positions.
class ServoModel final : public QObject
{
    Q_OBJECT
public:
    ServoModel();

    QString Label(int servo) const { return m_labels.at(servo); }
    void SetLabel(int servo, const QString &label);
    bool Enabled(int servo) const { return m_enabled.at(servo); }
    void SetEnabled(int servo, bool enabled);

    qint16 Position(int servo) const { return m_positions.at(servo); }
    void SetPosition(int servo, qint16 position);
    const std::array<qint16, kServoCount> &Positions() const { return m_positions; }
    void SetPositions(const std::array<qint16, kServoCount> &positions);

    QStringList LoadedScripts() const { return m_scripts; }
    void SetLoadedScripts(const QStringList &names);

    /// "Servo #0" .. "Servo #15".
    static QString DefaultLabel(int servo);

Q_SIGNALS:
    void labelChanged(int servo);
    void enabledChanged(int servo);
    void positionChanged(int servo);
    void loadedScriptsChanged();

private:
    std::array<QString, kServoCount> m_labels;
    std::array<bool, kServoCount> m_enabled{};
    std::array<qint16, kServoCount> m_positions{};
    QStringList m_scripts;
};
