#pragma once

#include "app/ServoModel.h"
#include "surface/SurfaceSettings.h"

#include <QObject>
#include <QString>

#include <array>
#include <atomic>

class ProgramPropertyStore;
class ServoLink;

/// A control surface over OSC: a UDP listener on liblo's server thread that
/// takes "/servo/N" (N 0..15) with one float 0.0..1.0 (ServoMin..ServoMax,
/// nearest whole position) or one int (a position, held to ServoMin..ServoMax)
/// and moves the servo as its slider would: through the servo model, which the
/// sliders show, and ServoLink::MoveLive. Anything else is ignored.
///
/// Threads: the listener only stores the newest value per servo in a slot and
/// asks the UI thread once to take them, however many messages arrive; the UI
/// thread takes every slot at once. Only there are the link and the model
/// touched. Moves count while the port is open and no run plays, for enabled
/// servos; the rest are dropped, not kept for later.
class OscSurface final : public QObject
{
    Q_OBJECT
public:
    OscSurface(ServoLink &link, ServoModel &servos, const ProgramPropertyStore &properties, QObject *parent = nullptr);
    ~OscSurface() override;

    /// Stops any listener, then listens as `settings` say when they turn it on.
    /// A port that cannot be had is told through the message service; the
    /// surface stays off then. Returns whether it listens.
    bool Apply(const SurfaceSettings &settings);
    void Stop();
    bool Listening() const { return m_server != nullptr; }

    /// The position a message's value stands for, or -1 for none; `isFloat`
    /// tells a float's bits from an int.
    static int PositionFor(bool isFloat, float f, qint32 i, int servoMin, int servoMax);

private:
    friend struct OscReceiver;
    /// Listener thread: keeps the newest value of a servo, wakes the UI thread once.
    void keep(int servo, quint64 slot);
    /// UI thread: moves every servo whose slot holds a value.
    void takeSlots();

    ServoLink &m_link;
    ServoModel &m_servos;
    const ProgramPropertyStore &m_properties;
    void *m_server = nullptr; // lo_server_thread
    std::array<std::atomic<quint64>, kServoCount> m_slots{};
    std::atomic<bool> m_wakePending = false;
};
