#include "link/vboard/FrameDecoder.h"

QList<ServoFrame> FrameDecoder::Feed(const QByteArray &bytes)
{
    QList<ServoFrame> frames;
    for (const char c : bytes) {
        const quint8 b = quint8(c);
        switch (m_want) {
        case Want::Sync:
            if (b == m_sync)
                m_want = Want::Servo;
            else
                ++m_skipped;
            break;
        case Want::Servo:
            if (b <= 15) {
                m_servo = b;
                m_want = Want::Position;
            } else if (b == m_sync) {
                ++m_skipped; // the previous sync byte began nothing
            } else {
                m_skipped += 2;
                m_want = Want::Sync;
            }
            break;
        case Want::Position:
            frames.append(ServoFrame{m_sync, m_servo, b});
            m_want = Want::Sync;
            break;
        }
    }
    return frames;
}
