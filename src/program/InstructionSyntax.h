#pragma once

#include <QString>

/// The kind of an instruction line, by its keyword (any letter case).
enum class InstructionKind { None, Mov, Pause, Script, Wav };

/// How a reader finds a line's keyword.
enum class KeywordMatch {
    /// The keyword and its space: "mov ", "pause ", "script ", "wav ". Files and the listing.
    Strict,
    /// The player's and the exporter's reading: "mov", "pause" and "script" by their letters
    /// alone ("mov3,127", "scripted a.tqs"), "wav " with its space.
    Loose,
};

/// The keyword's kind, without checking the rest of the line.
InstructionKind InstructionKindOf(const QString &line, KeywordMatch match = KeywordMatch::Strict);

/// True when a program, script or temporary file may carry this line:
/// "mov S,P" and "pause MS" with exactly one space and a number after it (commas
/// group digits), "script NAME.tqs" and "wav NAME.wav" (extensions in lower case).
bool IsAcceptedInstructionLine(const QString &line);

/// An instruction line as one of the rules above reads it. The fields are the
/// line's own text, unchecked; "the first space" means the start of the line
/// when it has none.
struct Instruction
{
    InstructionKind kind = InstructionKind::None;
    bool accepted = false; ///< IsAcceptedInstructionLine
    /// mov: its first comma follows its first space, so servo and position are set.
    bool split = false;
    QString servo;        ///< mov: from the first space up to the first comma
    QString position;     ///< mov: after the first comma
    QString milliseconds; ///< pause: after the first space
    QString name;         ///< script, wav: the file name, after the first space
};

/// The one reading of a line that every reader of instruction lines asks.
Instruction ParseInstruction(const QString &line, KeywordMatch match = KeywordMatch::Strict);

/// A script's name as lines and files carry it: ending in ".tqs" in lower
/// case, the extension added when the name lacks it in every letter case.
/// "Script " + this name is a line the reader keeps.
QString ScriptFileName(const QString &name);
