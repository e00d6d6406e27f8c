#pragma once

#include "execution/TraceLanes.h"
#include "sound/WaveformOverview.h"

#include <QString>

#include <memory>

/// The sound files of a program's `wav` lines, found where playback finds them and read through
/// the shared waveform cache, so that tracing and drawing read each file once while it is unchanged.
namespace TimelineSounds {

/// A sound file as the timeline draws it: its overview, or why it cannot be read.
struct Sound
{
    std::shared_ptr<const WaveformOverview> overview;
    QString error;
};

/// The file a `wav` line's name plays.
QString PathOf(const QString &name);
/// Reads (or finds in the cache) the sound a `wav` line names.
Sound Read(const QString &name);
/// The lengths one trace cuts sounds by; -1 for a file that cannot be read. Each hook on one
/// thread at a time; a fresh hook per trace sees changed files.
TraceLanes::SoundLength Lengths();

} // namespace TimelineSounds
