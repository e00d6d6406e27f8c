#include "link/PropertyUpdater.h"

#include "app/AppState.h"
#include "link/IServoSliders.h"
#include "link/ServoLink.h"
#include "mainwindow/PropertyGridModel.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"

namespace {
const QString kOnline = QStringLiteral("Online");
const QString kOffline = QStringLiteral("Offline");
} // namespace

PropertyUpdater::PropertyUpdater(PropertyGridModel &grid, ServoLink &link, IServoSliders *sliders)
    : m_grid(grid)
    , m_link(link)
    , m_sliders(sliders)
{
    m_grid.SetPropertiesUpdater([this] { UpdatePropertiesFromGrid(); });
    QObject::connect(&m_link, &ServoLink::BoardLost, &m_context,
                     [this] { m_grid.SetCellText(PropertyGridModel::CommPortStatus, 2, kOffline); });
}

PropertyUpdater::~PropertyUpdater()
{
    m_grid.SetPropertiesUpdater({});
}

void PropertyUpdater::applySteps()
{
    m_grid.CopyGridToProperties();
    const ProgramProperties &p = App().Properties;

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

    if (m_grid.CellText(PropertyGridModel::CommPortStatus, 2) == kOnline) {
        if (!m_link.PortOpen())
            m_link.Open();
    } else if (m_link.PortOpen()) {
        m_link.Close();
    }
}

void PropertyUpdater::UpdatePropertiesFromGrid()
{
    // The port in use before this run: what the Comm Port cell goes back to.
    const QString previousPort = App().Properties.CommPort;
    try {
        applySteps();
    } catch (const AppError &e) {
        if (!LinkError::IsPortUnavailable(e.number()) || m_recovering) {
            ErrorReport(QStringLiteral("0061"), e);
            return;
        }
        ShowUserMessage(QStringLiteral("Comm Port ") + App().Properties.CommPort +
                            QStringLiteral("is not available.  Taveloq will now go into Offline mode."),
                        MsgButtons::OkCancel, MsgIcon::Information);
        m_grid.SetCellText(PropertyGridModel::CommPort, 2, previousPort);
        m_grid.SetCellText(PropertyGridModel::CommPortStatus, 2, kOffline);
        m_recovering = true;
        UpdatePropertiesFromGrid();
        m_recovering = false;
    }
}
