#pragma once

#include "link/IRunLink.h"

#include <QObject>
#include <QString>

class IServoSliders;
class ProgramPropertyStore;
class ServoLink;

/// The serial link as the application runs it: applies the program
/// properties to the sliders and the port whenever they change
/// (UpdatePropertiesFromGrid), and keeps the two execution options the grid
/// shows, CommPort Status ("Online"/"Offline") and Center on Execution
/// ("True"/"False"). CommPort Status always says whether the port is open
/// after any of its own steps; a board that vanishes makes it "Offline".
class LinkSession final : public QObject, public IRunLink
{
    Q_OBJECT
public:
    LinkSession(ProgramPropertyStore &properties, ServoLink &link, QObject *parent = nullptr);

    /// The Servo Controller's sliders, once the window exists.
    void SetSliders(IServoSliders *sliders) { m_sliders = sliders; }
    ServoLink &Link() const { return m_link; }

    QString CommPortStatus() const { return m_commPortStatus; }
    void SetCommPortStatus(const QString &status);
    QString CenterOnExecution() const override { return m_centerOnExecution; }
    void SetCenterOnExecution(const QString &center);

    /// 1. slider range ServoMin..ServoMax; 2. an open port is closed, given
    /// the port number and settings, and reopened (a closed one only given
    /// them); 3. the port follows CommPort Status. A port that is not
    /// available (8002, 8005, 63): message, the Comm Port property back to the
    /// port that was in use, "Offline", and one more pass. Other failures:
    /// ErrorReport "0061", the later steps not done. Runs on every change of
    /// the properties.
    void UpdatePropertiesFromGrid();

    /// The port opening of the main window's load step: settings for a
    /// BaudRate of "2400" or "9600" (any other text keeps the settings), the
    /// port number, open. Port in use: message; any other failure: ErrorReport
    /// "0009"; "Offline" after either. Returns whether the port opened.
    bool OpenAtStartUp();

    bool PortOpen() const override;
    void GoOnline() override;
    std::unique_ptr<IFrameSink> CreateRunFrameSink() override;

Q_SIGNALS:
    /// CommPort Status or Center on Execution changed.
    void optionsChanged();

private:
    void applySteps();

    ProgramPropertyStore &m_properties;
    ServoLink &m_link;
    IServoSliders *m_sliders = nullptr;
    QString m_commPortStatus = QStringLiteral("Online");
    QString m_centerOnExecution = QStringLiteral("True");
    bool m_applying = false;
};
