#pragma once

#include "execution/ISoundPlayer.h"

#include <QMutex>
#include <QObject>

#include <optional>

class QSoundEffect;

/// Plays `wav` lines through Qt Multimedia. Lives on the thread that created
/// it (it needs that thread's event loop); Play and StopAll may be called from
/// any thread and return at once.
class QtSoundPlayer final : public QObject, public ISoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;

    void Play(const QString &path) override;
    void StopAll() override;

private:
    /// Leaves the command for this object's thread; nothing for Stop.
    void post(std::optional<QString> path);
    void takeNext();
    void playNow(const QString &path);
    void stopNow();

    QSoundEffect *m_effect = nullptr;

    QMutex m_mutex;
    std::optional<QString> m_next;
    bool m_posted = false;
};
