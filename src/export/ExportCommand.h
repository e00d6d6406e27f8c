#pragma once

#include "app/ExportSettingsStore.h"
#include "app/ProgramProperties.h"
#include "export/BasicExport.h"

#include <QString>

#include <array>
#include <functional>

class ProgramListing;

/// What the user chose for one export: the Export As Basic dialog's answer,
/// taveloq-export's options.
struct ExportChoice
{
    ExportSettings settings;
    bool loop = false;
};

/// The BASIC export as one command for the Export As Basic dialog and
/// taveloq-export: a program and a choice in, the code out, then written with
/// its header wherever the user says.
namespace ExportCommand {

/// The code, or the refusal that stopped the export, and the messages on the way.
using Outcome = BasicExport::Result;

/// Told each step's status text and progress position as the export goes.
using Progress = std::function<void(const QString &status, int position)>;

/// The program as the Execution Controller lists it: the temporary file's lines
/// (Log appends there before the list reloads), the current properties and the
/// servos' positions, which are only read.
Outcome FromListing(const ProgramListing &listing, const ProgramProperties &properties,
                    const std::array<qint16, 16> &positions, const ExportChoice &choice, const Progress &progress = {});

/// A program file with the properties of its header; the servos start at 0.
/// Refused when it cannot be read or holds properties the application would not
/// load; dropped lines are a message.
Outcome FromProgramFile(const QString &path, const ExportChoice &choice);

/// Writes the header, dated now, and the code to `path`; "-" is standard output.
/// Throws AppError.
void Write(const QString &path, const QString &code);

} // namespace ExportCommand
