#pragma once

class QWidget;

/// Options > Serial Ports: shows the dialog with the stored mapping and stores
/// what the user accepts. A store that refuses is told, and the dialog comes
/// back with the user's choices. Returns whether the mapping was stored.
bool EditSerialPorts(QWidget *parent);
