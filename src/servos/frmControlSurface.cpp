#include "servos/frmControlSurface.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

frmControlSurface::frmControlSurface(const SurfaceSettings &current, QWidget *parent)
    : QDialog(parent)
    , m_enabled(new QCheckBox(QStringLiteral("Move servos from OSC messages (/servo/0 .. /servo/15)"), this))
    , m_port(new QSpinBox(this))
    , m_thisComputer(new QRadioButton(QStringLiteral("This computer only"), this))
    , m_allNetworks(new QRadioButton(QStringLiteral("All networks"), this))
    , m_warning(new QLabel(QStringLiteral("Anyone on that network can then move the figure."), this))
{
    setObjectName(QStringLiteral("frmControlSurface"));
    setWindowTitle(QStringLiteral("Control Surface"));
    m_enabled->setObjectName(QStringLiteral("chkEnabled"));
    m_port->setObjectName(QStringLiteral("txtPort"));
    m_thisComputer->setObjectName(QStringLiteral("optThisComputer"));
    m_allNetworks->setObjectName(QStringLiteral("optAllNetworks"));
    m_warning->setObjectName(QStringLiteral("lblWarning"));
    m_warning->setWordWrap(true);

    m_port->setRange(1, 65535);
    m_enabled->setChecked(current.enabled);
    m_port->setValue(current.port);
    (current.address == SurfaceSettings::kAllNetworks ? m_allNetworks : m_thisComputer)->setChecked(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("UDP port:"), m_port);
    auto *where = new QVBoxLayout;
    where->addWidget(m_thisComputer);
    where->addWidget(m_allNetworks);
    form->addRow(QStringLiteral("Listen on:"), where);
    layout->addLayout(form);
    layout->addWidget(m_warning);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_allNetworks, &QRadioButton::toggled, this, &frmControlSurface::showWarning);
    showWarning();
}

void frmControlSurface::showWarning()
{
    m_warning->setVisible(m_allNetworks->isChecked());
}

SurfaceSettings frmControlSurface::Settings() const
{
    return {.enabled = m_enabled->isChecked(),
            .port = m_port->value(),
            .address = m_allNetworks->isChecked() ? SurfaceSettings::kAllNetworks : SurfaceSettings::kThisComputer};
}
