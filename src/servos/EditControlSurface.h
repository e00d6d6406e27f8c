#pragma once

class OscSurface;
class QWidget;

/// Options > Control Surface: shows the stored choices; OK stores the ones
/// made and restarts the listener with them, Cancel changes nothing.
void EditControlSurface(OscSurface &surface, QWidget *parent);
