#include "link/LinkSession.h"

#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "link/IServoSliders.h"
#include "link/ServoLink.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"

namespace {
const QString kOnline = QStringLiteral("Online");
const QString kOffline = QStringLiteral("Offline");
} // namespace

LinkSession::LinkSession(ProgramPropertyStore &properties, ServoLink &link, QObject *parent)
    : QObject(parent)
    , m_properties(properties)
    , m_link(link)
{
    connect(&m_properties, &ProgramPropertyStore::changed, this, &LinkSession::UpdatePropertiesFromGrid);
    connect(&m_link, &ServoLink::BoardLost, this, [this] { SetCommPortStatus(kOffline); });
}

void LinkSession::SetCommPortStatus(const QString &status)
{
    if (m_commPortStatus == status)
        return;
    m_commPortStatus = status;
    Q_EMIT optionsChanged();
}

void LinkSession::SetCenterOnExecution(const QString &center)
{
    if (m_centerOnExecution == center)
        return;
    m_centerOnExecution = center;
    Q_EMIT optionsChanged();
}

void LinkSession::applySteps()
{
    const ProgramProperties &p = m_properties.Properties();
    const int min = ToInteger(p.ServoMin);
    const int max = ToInteger(p.ServoMax);
    if (m_sliders) {
        for (int servo = 0; servo < kServoCount; ++servo)
            m_sliders->SetSliderRange(servo, min, max);
    }

    const QString settings = p.BaudRate + QStringLiteral(",N,8,1");
    if (m_link.PortOpen()) {
        m_link.Close();
        m_link.SetCommPort(p.CommPort);
        m_link.SetSettings(settings);
        m_link.Open();
    } else {
        m_link.SetCommPort(p.CommPort);
        m_link.SetSettings(settings);
    }

    if (m_commPortStatus == kOnline) {
        if (!m_link.PortOpen())
            m_link.Open();
    } else if (m_link.PortOpen()) {
        m_link.Close();
    }
}

void LinkSession::UpdatePropertiesFromGrid()
{
    // The recovery below changes the properties itself; that change is the
    // second pass, not a new apply.
    if (m_applying)
        return;
    // The port in use before this apply: what the Comm Port goes back to.
    const QString previousPort = m_link.CommPort();
    m_applying = true;
    try {
        applySteps();
        m_applying = false;
    } catch (const AppError &e) {
        m_applying = false;
        if (!LinkError::IsPortUnavailable(e.number())) {
            ErrorReport(QStringLiteral("0061"), e);
            return;
        }
        ShowUserMessage(QStringLiteral("Comm Port ") + m_properties.Properties().CommPort +
                            QStringLiteral("is not available.  Taveloq will now go into Offline mode."),
                        MsgButtons::OkCancel, MsgIcon::Information);
        SetCommPortStatus(kOffline);
        m_applying = true;
        m_properties.SetValue(ProgramPropertyStore::Field::CommPort, previousPort);
        Reported(QStringLiteral("0061"), [this] { applySteps(); });
        m_applying = false;
    }
}

bool LinkSession::OpenAtStartUp()
{
    const ProgramProperties &p = m_properties.Properties();
    try {
        if (p.BaudRate == QLatin1String("2400"))
            m_link.SetSettings(QStringLiteral("2400,N,8,1"));
        else if (p.BaudRate == QLatin1String("9600"))
            m_link.SetSettings(QStringLiteral("9600,N,8,1"));
        m_link.SetCommPort(p.CommPort);
        m_link.Open();
        return true;
    } catch (const AppError &e) {
        if (e.number() == LinkError::kPortInUse) {
            ShowUserMessage(QStringLiteral("Comm Port ") + p.CommPort +
                                QStringLiteral(" is not available.  Taveloq will go into Offline mode."),
                            MsgButtons::OkCancel, MsgIcon::Information);
        } else {
            ErrorReport(QStringLiteral("0009"), e);
        }
        // Whatever the reason, the port stayed closed: the grid must not claim otherwise.
        SetCommPortStatus(kOffline);
        return false;
    }
}

bool LinkSession::PortOpen() const
{
    return m_link.PortOpen();
}

void LinkSession::GoOnline()
{
    // Shown at once: when the port then fails to open, no run locks (and repaints) the grid.
    SetCommPortStatus(kOnline);
    try {
        m_link.Open();
    } catch (const AppError &) {
        SetCommPortStatus(kOffline);
        throw;
    }
}

std::unique_ptr<IFrameSink> LinkSession::CreateRunFrameSink()
{
    return m_link.PlaybackSink();
}
