#pragma once

#include "app/ProgramProperties.h"

#include <QString>
#include <QStringList>

/// The lines of a file's text. A line ends at CR LF, at a lone CR or at a lone
/// LF (files edited on Linux); a last line without an end is a line too.
QStringList SplitFileLines(const QString &text);

/// What a program file holds once read.
struct ParsedProgram
{
    ProgramProperties properties; ///< the starting properties with the header's values applied
    QStringList listing;          ///< the accepted instruction lines, unchanged
    bool droppedLines = false;    ///< some line was neither a header nor an accepted instruction
};

/// Reads a program file's text: header lines (anywhere, first matching key wins)
/// replace properties of `start`; instruction lines are kept or dropped.
ParsedProgram ParseProgramText(const QString &text, const ProgramProperties &start);

/// Reads and parses a program file (ParseProgramText). Throws AppError when it cannot be read.
ParsedProgram ReadProgramFile(const QString &path, const ProgramProperties &start);

/// The message for a file some of whose lines were dropped.
QString DroppedLinesMessage(const QString &path);

/// The file text of a listing: the nine header lines unless asScript, then each
/// item, every line ended by CR LF.
QString ProgramFileText(const ProgramProperties &properties, const QStringList &items, bool asScript);

/// True when the properties break a rule a loaded file must keep.
bool PropertiesInvalid(const ProgramProperties &properties);

/// Lines as the clipboard carries them: plain text, one instruction per line.
QString ClipboardText(const QStringList &lines);

/// Text from the clipboard read as instruction lines (CR LF, LF or CR between
/// them, a last line end optional), each checked as a program file's line is.
struct PastedLines
{
    QStringList lines;
    /// Why nothing may be pasted, naming the first line that is not an
    /// instruction and its number; empty when every line is one.
    QString refusal;
};
PastedLines ParsePastedText(const QString &text);
