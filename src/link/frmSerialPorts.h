#pragma once

#include "link/SerialPortMap.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QComboBox;

/// Options > Serial Ports: which device each Comm Port number (1..4) stands
/// for. Offers the serial devices found on this machine, by their stable
/// /dev/serial/by-id/ names where they have one; any path may be typed.
/// It returns the choice; EditSerialPorts stores it.
class frmSerialPorts : public QDialog
{
    Q_OBJECT
public:
    explicit frmSerialPorts(const QList<SerialPortMap::DetectedPort> &detected, QWidget *parent = nullptr);

    /// Device paths for ports 1..4, in order.
    void SetMapping(const QStringList &paths);
    QStringList Mapping() const;

private:
    std::array<QComboBox *, SerialPortMap::kLastPort> m_boxes{};
};
