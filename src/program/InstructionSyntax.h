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
