#pragma once

#include <QObject>

class IServoSliders;
class PropertyGridModel;
class ServoLink;

/// Applies the property grid to AppState, the sliders and the link
/// (UpdatePropertiesFromGrid). Installed on the grid model, so every caller
/// of the model's UpdatePropertiesFromGrid gets the whole of it. Also keeps
/// the CommPort Status cell "Offline" when the board vanishes.
class PropertyUpdater
{
public:
    /// Installs itself on the grid; sliders may come later (SetSliders).
    PropertyUpdater(PropertyGridModel &grid, ServoLink &link, IServoSliders *sliders = nullptr);
    ~PropertyUpdater();
    PropertyUpdater(const PropertyUpdater &) = delete;
    PropertyUpdater &operator=(const PropertyUpdater &) = delete;

    void SetSliders(IServoSliders *sliders) { m_sliders = sliders; }

    /// 1. rows 2-9 into AppState; 2. slider range ServoMin..ServoMax; 3. an open
    /// port is closed, given the port number and settings, and reopened (a
    /// closed one only given them); 4. the port follows the CommPort Status cell.
    /// A port that is not available (8002, 8005, 63): message, the Comm Port cell
    /// back to the port that was in use, "Offline", and one more pass. Other
    /// failures: ErrorReport "0061", the later steps not done.
    void UpdatePropertiesFromGrid();

private:
    void applySteps();

    PropertyGridModel &m_grid;
    ServoLink &m_link;
    IServoSliders *m_sliders;
    QObject m_context;
    bool m_recovering = false;
};
