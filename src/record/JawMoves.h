#pragma once

#include "app/ProgramProperties.h"
#include "record/TakeLines.h"
#include "sound/LoudnessEnvelope.h"

#include <QString>
#include <QStringList>

#include <vector>

class Take;

/// How a sound moves a jaw: the servo, its closed and open positions, and how
/// loudness becomes an opening.
struct JawSettings
{
    int servo = 0;
    int closed = 127;
    int open = 254;
    /// Loudness (after gain) below this share of full scale keeps the jaw closed, 0..1.
    double threshold = 0.1;
    double gain = 1.0;
    int attackMs = 10;
    int releaseMs = 80;
    /// How often a position is taken, 1..50 a second.
    int linesPerSecond = 20;

    bool operator==(const JawSettings &) const = default;
};

/// Moves that follow a sound's loudness, written into the program at the
/// `wav` line that plays it, as a take recorded over the program would be.
struct JawMoves
{
    static constexpr int kMaxLinesPerSecond = 50;

    /// The opening (0 closed, 1 open) for an envelope level: the part above
    /// the threshold, scaled to what is left up to full scale.
    static double Opening(double level, const JawSettings &settings);

    /// The take of one servo following `envelope` (points `windowMs` apart) from
    /// `startMs`: a position per 1/linesPerSecond while it changes, closed at
    /// `startMs + lengthMs`, where the take ends.
    static Take FromEnvelope(const std::vector<EnvelopePoint> &envelope, int windowMs, const JawSettings &settings,
                             qint64 startMs, qint64 lengthMs);

    /// The program with the moves of line `line`'s sound laid over it from the
    /// time its run starts that line, until the sound ends or the next sound
    /// cuts it off. Relative sound names are found in dataFolder, as playback
    /// finds them. `refusal` says why nothing could be written.
    static TakeLines OverProgram(int line, const QStringList &items, const ProgramProperties &properties,
                                 const JawSettings &settings, const QString &scriptsFolder, const QString &dataFolder);
};
