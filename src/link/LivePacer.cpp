#include "link/LivePacer.h"

#include <algorithm>
#include <utility>

qint64 LivePacer::FrameTimeNs(int baud, int dataBits, int stopBits)
{
    if (baud <= 0)
        return 0;
    const qint64 bits = 3 * (1 + dataBits + stopBits);
    return (bits * 1'000'000'000 + baud - 1) / baud;
}

void LivePacer::Offer(const ServoFrame &frame)
{
    m_waiting.at(frame.servo) = frame;
}

std::optional<ServoFrame> LivePacer::TakeDue(qint64 nowNs, qint64 earlyNs)
{
    const qint64 limit = nowNs + earlyNs;
    if (limit < m_lineFreeNs)
        return std::nullopt;
    for (int step = 1; step <= kServos; ++step) {
        const int servo = (m_lastServo + step) % kServos;
        if (!m_waiting[servo])
            continue;
        if (m_servoDueNs[servo] && limit < *m_servoDueNs[servo] - kServoJitterNs)
            continue;
        const ServoFrame frame = *std::exchange(m_waiting[servo], std::nullopt);
        NoteSent(frame, nowNs);
        m_lastServo = servo;
        return frame;
    }
    return std::nullopt;
}

std::optional<qint64> LivePacer::NextDueNs() const
{
    std::optional<qint64> servoDue;
    for (int servo = 0; servo < kServos; ++servo) {
        if (!m_waiting[servo])
            continue;
        const qint64 due = m_servoDueNs[servo] ? *m_servoDueNs[servo] - kServoJitterNs : 0;
        servoDue = servoDue ? std::min(*servoDue, due) : due;
    }
    if (!servoDue)
        return std::nullopt;
    return std::max(*servoDue, m_lineFreeNs);
}

void LivePacer::NoteSent(const ServoFrame &frame, qint64 nowNs)
{
    // Written while the line is busy, the frame waits in the driver behind the others.
    m_lineFreeNs = std::max(m_lineFreeNs, nowNs) + m_frameTimeNs;
    // A frame late by no more than the jitter keeps the schedule; one later still moves it on.
    std::optional<qint64> &due = m_servoDueNs.at(frame.servo);
    due = std::max(due.value_or(nowNs), nowNs - kServoJitterNs) + kServoIntervalNs;
    m_waiting.at(frame.servo).reset();
}

void LivePacer::Clear()
{
    m_waiting.fill(std::nullopt);
}
