#pragma once

#include "surface/SurfaceSettings.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

/// Options > Control Surface: whether the OSC listener runs, its UDP port and
/// whether it listens on this computer only or on all networks. Returns the
/// choices; EditControlSurface applies and stores them.
class frmControlSurface : public QDialog
{
    Q_OBJECT
public:
    explicit frmControlSurface(const SurfaceSettings &current, QWidget *parent = nullptr);
    SurfaceSettings Settings() const;

private:
    void showWarning();

    QCheckBox *m_enabled;
    QSpinBox *m_port;
    QRadioButton *m_thisComputer;
    QRadioButton *m_allNetworks;
    QLabel *m_warning;
};
