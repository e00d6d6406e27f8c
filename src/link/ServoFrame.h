#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

/// The one message the board understands: sync byte, servo number, position,
/// always written together.
struct ServoFrame
{
    quint8 sync = 255;
    quint8 servo = 0;
    quint8 position = 0;

    QByteArray bytes() const
    {
        const char b[3] = {char(sync), char(servo), char(position)};
        return QByteArray(b, 3);
    }
    bool operator==(const ServoFrame &) const = default;
};

/// Builds a frame. The sync byte text is taken as a whole number (halves to
/// even). Throws AppError 5 when the sync byte or position lies outside 0..255
/// or the servo outside 0..15, and 13 when the sync byte is not a number.
ServoFrame BuildServoFrame(const QString &synchByte, int servo, int position);

/// Where frames go. Implementations write the three bytes at once, in one
/// write, without queueing; a failure is thrown as AppError.
class IFrameSink
{
public:
    virtual ~IFrameSink() = default;
    virtual void WriteFrame(const ServoFrame &frame) = 0;
};
