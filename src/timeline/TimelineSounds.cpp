#include "timeline/TimelineSounds.h"

#include "app/DataPaths.h"
#include "execution/ExecutionEngine.h"
#include "platform/AppError.h"
#include "sound/WaveformCache.h"

#include <QHash>

namespace TimelineSounds {

QString PathOf(const QString &name)
{
    return ExecutionEngine::SoundPath(name, DataPaths::UserDataFolder());
}

Sound Read(const QString &name)
{
    try {
        return {WaveformCache::Shared().Get(PathOf(name)), {}};
    } catch (const AppError &e) {
        return {nullptr, e.description()};
    }
}

TraceLanes::SoundLength Lengths()
{
    // A program that plays one sound many times asks for it each time: looked up once per trace.
    return [known = QHash<QString, qint64>()](const QString &name) mutable -> qint64 {
        auto found = known.constFind(name);
        if (found == known.cend()) {
            const Sound sound = Read(name);
            found = known.insert(name, sound.overview ? sound.overview->info().lengthMs() : -1);
        }
        return *found;
    };
}

} // namespace TimelineSounds
