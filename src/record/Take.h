#pragma once

#include <QList>
#include <QtGlobal>

/// One move of a take: servo `servo` was sent `position` at `timeMs` from the take's start.
struct TakeMove
{
    qint64 timeMs = 0;
    quint8 servo = 0;
    quint8 position = 0;

    bool operator==(const TakeMove &) const = default;
};

/// What the user performed while recording: the servo moves in time order,
/// and the take's length (when Stop was pressed). Between two moves a servo
/// holds the last position sent: the board jumps, it does not glide.
class Take
{
public:
    /// The thinning tolerance a take is written with unless the user sets another.
    static constexpr int kDefaultTolerance = 2;

    /// Adds a move after the others; a time before the last move's counts as
    /// the last move's, so the take stays in order. False, and nothing added,
    /// for a servo outside 0..15 or a position outside 0..255.
    bool Append(qint64 timeMs, int servo, int position);
    /// Stop was pressed `lengthMs` after the start; never before the last move.
    void SetLength(qint64 lengthMs);

    const QList<TakeMove> &Moves() const { return m_moves; }
    /// The take's length: when Stop was pressed, at least the last move's time.
    qint64 LengthMs() const;
    /// The servos the take moves, bit n for servo n.
    quint16 Servos() const { return m_servos; }
    bool IsEmpty() const { return m_moves.isEmpty(); }

    /// The take with the moves dropped that the user would not see: per servo, a
    /// move goes when the position kept before it, held over the move's span,
    /// stays within `tolerance` of what was performed. Each servo's first and
    /// last moves stay, so it starts and ends where performed. A tolerance of 0
    /// (or less) keeps every move.
    Take Thinned(int tolerance = kDefaultTolerance) const;

private:
    QList<TakeMove> m_moves;
    qint64 m_lengthMs = 0;
    quint16 m_servos = 0;
};
