#pragma once

#include "execution/ISoundPlayer.h"

#include <QMutex>
#include <QObject>

class QSoundEffect;

/// Plays `wav` lines through Qt Multimedia. Lives on the thread that created
/// it (it needs that thread's event loop); Play may be called from any thread
/// and returns at once.
class QtSoundPlayer final : public QObject, public ISoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    ~QtSoundPlayer() override;

    void Play(const QString &path) override;

private:
    void takeNext();
    void playNow(const QString &path);
    void stopNow();

    QSoundEffect *m_effect = nullptr;

    QMutex m_mutex;
    QString m_next;
    bool m_posted = false;
};
