#pragma once

#include "app/ProgramProperties.h"

#include <QString>
#include <QStringList>

class Take;
struct ProgramTrace;

/// A take written as instruction lines ("Mov S,P" and "Pause MS", as Log and
/// Insert Pause write them) that, played with the program's fixed
/// Inter-Instruction Delay, send every move at its performed time. Each line's
/// time is planned from the take's start, so an error never adds up along a
/// long take. The board takes one line per delay: a move due while the line
/// before it still waits is shifted later, and a move of the take is merged
/// into the same servo's next move (dropped) when that one is due too by the
/// time a line is free, so a servo never lags behind with old positions and
/// always ends on its last one. A gap shorter than a delay cannot be waited out
/// (a pause line costs its own delay too): the move goes at the nearer of its
/// two possible times, which stays within the delay.
struct TakeLines
{
    /// The lines; empty when refused.
    QStringList lines;
    /// Moves merged into their servo's next move because lines could not go out fast enough.
    int merged = 0;
    /// The largest distance of a move's planned time from its performed time.
    qint64 worstErrorMs = 0;
    /// max(20 ms, the delay): worstErrorMs stays within it unless moves came faster than the delay lets lines go.
    qint64 boundMs = 0;
    /// Why nothing was written (a Smart delay, a program that cannot be timed); empty otherwise.
    QString refusal;

    /// The take alone, its first line at the take's start; a closing pause
    /// lets the lines last until Stop was pressed. An empty take gives no lines.
    /// Both ways write every move of the take given: thin it first (Take::Thinned).
    static TakeLines OfTake(const Take &take, const ProgramProperties &properties);

    /// The whole program with a take recorded from its start laid over it,
    /// merged by time. Punch-in: from the take's first move to its end (both
    /// included), the program's own mov lines of the servos the take moves are
    /// dropped. Every other line of the program stays and keeps its time: its
    /// mov, script and WAV lines are planned at the times its run reached them
    /// (never merged), and where the take falls its pause lines are written
    /// anew between them; the lines done before the take's first move, and
    /// those after its end once the plan is back on time, stay word for word.
    /// A script line stays one line, whatever its script moves inside the
    /// punched span (so no script file is rewritten), and the take's moves due
    /// while it runs follow it. An empty take gives the program unchanged. Plays the program once
    /// (no centring) on virtual time to find the times; scripts are read from
    /// scriptsFolder.
    static TakeLines OverProgram(const Take &take, const QStringList &items, const ProgramProperties &properties,
                                 const QString &scriptsFolder);
    /// The same over a run of items already traced (Execute once, no centring).
    static TakeLines OverTrace(const Take &take, const QStringList &items, const ProgramTrace &trace,
                               const ProgramProperties &properties);
};
