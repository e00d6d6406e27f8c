#pragma once

#include "link/ServoFrame.h"

#include <QByteArray>
#include <QList>

/// Turns the byte stream a servo board receives into frames. A frame starts
/// with the sync byte; a servo number outside 0..15 means the stream is out
/// of step, so the decoder drops bytes until the next sync byte (a sync byte
/// where the servo number belongs starts a frame anew).
class FrameDecoder
{
public:
    explicit FrameDecoder(quint8 sync = 255)
        : m_sync(sync)
    {
    }

    /// The frames completed by these bytes, in order.
    QList<ServoFrame> Feed(const QByteArray &bytes);

    /// Bytes dropped while looking for a sync byte, so far.
    qint64 SkippedBytes() const { return m_skipped; }
    quint8 Sync() const { return m_sync; }

private:
    enum class Want { Sync, Servo, Position };
    quint8 m_sync;
    Want m_want = Want::Sync;
    quint8 m_servo = 0;
    qint64 m_skipped = 0;
};
