#include "record/Take.h"

#include <array>
#include <cstdlib>

namespace {
constexpr int kServos = 16;
} // namespace

bool Take::Append(qint64 timeMs, int servo, int position)
{
    if (servo < 0 || servo >= kServos || position < 0 || position > 255)
        return false;
    if (!m_moves.isEmpty())
        timeMs = qMax(timeMs, m_moves.last().timeMs);
    m_moves.append({qMax<qint64>(timeMs, 0), quint8(servo), quint8(position)});
    m_servos |= quint16(1u << servo);
    return true;
}

void Take::SetLength(qint64 lengthMs)
{
    m_lengthMs = lengthMs;
}

qint64 Take::LengthMs() const
{
    return qMax(m_lengthMs, m_moves.isEmpty() ? 0 : m_moves.last().timeMs);
}

Take Take::Thinned(int tolerance) const
{
    if (tolerance <= 0)
        return *this;
    std::array<qsizetype, kServos> last;
    last.fill(-1);
    for (qsizetype i = 0; i < m_moves.size(); ++i)
        last[m_moves.at(i).servo] = i;
    // The position each servo holds in the thinned take; -1 before its first move.
    std::array<int, kServos> kept;
    kept.fill(-1);
    Take thinned;
    thinned.m_lengthMs = m_lengthMs;
    thinned.m_servos = m_servos;
    for (qsizetype i = 0; i < m_moves.size(); ++i) {
        const TakeMove &move = m_moves.at(i);
        int &held = kept[move.servo];
        // The last move stays unless the servo already holds its position.
        const int error = std::abs(held - int(move.position));
        if (held >= 0 && (i == last[move.servo] ? error == 0 : error <= tolerance))
            continue;
        held = move.position;
        thinned.m_moves.append(move);
    }
    return thinned;
}
