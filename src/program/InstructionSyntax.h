#pragma once

#include <QString>

/// The kind of an instruction line, by its keyword (any letter case).
enum class InstructionKind { None, Mov, Pause, Script, Wav };

/// The keyword's kind, without checking the rest of the line.
InstructionKind InstructionKindOf(const QString &line);

/// True when a program, script or temporary file may carry this line:
/// "mov S,P" and "pause MS" with exactly one space and a number after it (commas
/// group digits), "script NAME.tqs" and "wav NAME.wav" (extensions in lower case).
bool IsAcceptedInstructionLine(const QString &line);

/// An instruction line as the grammar above reads it.
struct Instruction
{
    InstructionKind kind = InstructionKind::None;
    QString argument;      ///< the text after the keyword's space
    bool accepted = false; ///< IsAcceptedInstructionLine
};

/// The one reading of a line that every reader of instruction lines asks.
Instruction ParseInstruction(const QString &line);

/// A script's name as lines and files carry it: ending in ".tqs" in lower
/// case, the extension added when the name lacks it in every letter case.
/// "Script " + this name is a line the reader keeps.
QString ScriptFileName(const QString &name);
