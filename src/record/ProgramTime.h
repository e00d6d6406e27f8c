#pragma once

#include "record/Take.h"

#include <QList>
#include <QtGlobal>

#include <optional>

struct ProgramTrace;

/// A run reached top-level line `line` `runMs` after it started, on its own clock.
struct LineReached
{
    int line = 0;
    qint64 runMs = 0;
};

/// A take recorded while the program played, its times on the run's clock from
/// the run's start, moved onto the program's own time as the trace times it.
/// Each move keeps its distance from the line the run had last reached
/// (`reached`, in the order the run reported them), but never beyond that
/// line's traced length: what the user did while the run was held (the
/// centring before the first line, a Pause, a message box) lands where the
/// program went on. After the run ended at `runEndMs` the take goes on from
/// where the run got to.
Take OnProgramTime(const Take &take, const QList<LineReached> &reached, const ProgramTrace &trace,
                   std::optional<qint64> runEndMs);
