#pragma once

#include <QString>

/// Plays WAV files for `wav` lines. Play returns at once; the sound runs on by
/// itself. A new Play cuts off the sound still playing; a file that does not
/// exist or cannot be decoded plays nothing and reports nothing. Callable from
/// any thread.
class ISoundPlayer
{
public:
    virtual ~ISoundPlayer() = default;
    virtual void Play(const QString &path) = 0;
};
