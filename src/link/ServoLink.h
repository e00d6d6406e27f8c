#pragma once

#include "link/LinkError.h"
#include "link/LivePacer.h"
#include "link/ServoFrame.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

#include <atomic>
#include <memory>

class IClock;
class ProgramPropertyStore;

/// The one-way serial connection to the servo board. Online means the port is
/// open, Offline that it is closed. The port is chosen by a Comm Port number
/// ("1".."4", mapped to a device path by SerialPortMap) and configured by a
/// settings text ("2400,N,8,1"); nothing else (no handshaking, no time-outs),
/// and nothing is ever read.
///
/// Threads: the link and its QSerialPort live on the thread that created them
/// (the UI thread, or the main thread of a command-line player) and every
/// member is called there. A playback thread writes through PlaybackSink().
///
/// Live moves (sliders, a control surface) go through MoveLive, which paces
/// them to the line (LivePacer); a run's frames and the all-servo commands are
/// written as they come.
///
/// A board that vanishes while the port is open (a write fails with an I/O
/// error) closes the port, emits BoardLost and shows one message; frames sent
/// afterwards find the port closed.
class ServoLink final : public QObject, public IFrameSink
{
    Q_OBJECT
public:
    /// Frames take their sync byte from `properties` as they are sent.
    explicit ServoLink(const ProgramPropertyStore &properties, QObject *parent = nullptr);
    ~ServoLink() override;

    /// The Comm Port number as text. Throws AppError 13 for a text that is not
    /// a number and 8005 while the port is open (close it first).
    void SetCommPort(const QString &port);
    QString CommPort() const { return m_commPort; }

    /// "baud,N,data bits,stop bits", for example "9600,N,8,1" (no parity, one or
    /// two stop bits). Throws AppError 380 for any other text or one the port
    /// cannot take; applied at once when open.
    void SetSettings(const QString &settings);
    QString Settings() const { return m_settings; }

    /// The device the current Comm Port number stands for (may be empty).
    QString DevicePath() const;

    /// Opens the port with the current number and settings. Throws AppError
    /// 8002 (no such port), 8005 (in use, here or elsewhere) or 63 (anything
    /// else, with a description that says what to do).
    void Open();
    /// Closes the port; nothing when it is closed.
    void Close();

    bool PortOpen() const;

    /// Builds the frame from the properties' SynchByte, the servo and the
    /// position and writes it in one write(2), at once. Does not look at the
    /// link state: the caller does. Throws AppError 5 or 13 when no frame can
    /// be built (nothing is written) and 8018 when the port is closed. A write
    /// that fails means the board is gone: handled here (Offline, BoardLost,
    /// one message) and not thrown, so callers add no second box.
    void SendServoFrame(int servo, int position);

    /// IFrameSink on this thread: the same write as SendServoFrame.
    void WriteFrame(const ServoFrame &frame) override;

    /// The one way a live move reaches the board. The frame is built (and
    /// refused) as SendServoFrame builds it; it then leaves at once when the
    /// line and the servo are free, else it waits as the servo's newest value
    /// (see LivePacer). Throws 8018 when the port is closed. Ignored while a
    /// run's sink exists, since a run owns the servos: returns false then,
    /// unless live moves are let through (a take recorded over the program).
    bool MoveLive(int servo, int position);
    /// True while a run's sink exists.
    bool RunPlaying() const { return m_runSinks.load() > 0; }
    /// While set, live moves reach the board during a run too: the user
    /// performs over the program and must see the figure move. Each frame is
    /// still one write(2), so it never splits one of the run's frames.
    void LetLiveMovesThrough(bool through);

    /// The clock live moves are paced by; the system clock unless set.
    void SetClock(IClock *clock);

    /// A sink for a playback thread, valid while the run lasts. Each frame is
    /// one write(2) of three bytes on its own duplicate of the port's
    /// descriptor, so nothing waits on this thread and a port closed meanwhile
    /// cannot hand the descriptor to someone else. Rules while a sink exists:
    /// this thread sends no frames and does not reconfigure the port; destroy
    /// the sink before the link. A write that fails because the board vanished
    /// makes the link go Offline (on its own thread, one message) and throws
    /// AppError 57, which the player stops on without reporting again. Returns
    /// nothing when the port is closed.
    std::unique_ptr<IFrameSink> PlaybackSink();

    /// The board vanished: close, emit BoardLost, tell the user once. Safe to
    /// call when already closed (does nothing then).
    void HandleBoardLost(const QString &reason);

Q_SIGNALS:
    /// The port was closed because the board stopped taking bytes.
    void BoardLost();
    /// A frame was written on this thread (a live move or a command), at
    /// timeNs of the link's clock: what the board is told, as it is told.
    void frameSent(int servo, int position, qint64 timeNs);

private:
    [[noreturn]] void raiseOpenError(const QString &path);
    /// Writes one frame now; false when the board is gone (handled).
    bool writeOut(const ServoFrame &frame, qint64 nowNs);
    /// Writes the waiting frames that are due and sets the timer for the next.
    void sendDue();
    bool liveBlocked() const { return RunPlaying() && !m_liveThrough; }
    void updateFrameTime();

    const ProgramPropertyStore &m_properties;
    QSerialPort m_port;
    QString m_commPort = QStringLiteral("1");
    QString m_settings = QStringLiteral("9600,N,8,1");
    qint32 m_baud = 9600;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    bool m_handlingLoss = false;
    IClock *m_clock;
    LivePacer m_pacer;
    QTimer m_paceTimer;
    std::atomic<int> m_runSinks = 0;
    bool m_liveThrough = false;
};
