#include "execution/sound/QtSoundPlayer.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{
}

QtSoundPlayer::~QtSoundPlayer()
{
    stopNow();
}

void QtSoundPlayer::Play(const QString &path)
{
    QMetaObject::invokeMethod(this, [this, path] { playNow(path); }, Qt::QueuedConnection);
}

void QtSoundPlayer::StopAll()
{
    QMetaObject::invokeMethod(this, [this] { stopNow(); }, Qt::QueuedConnection);
}

void QtSoundPlayer::stopNow()
{
    if (!m_effect)
        return;
    m_effect->stop();
    m_effect->deleteLater();
    m_effect = nullptr;
}

void QtSoundPlayer::playNow(const QString &path)
{
    // A new sound line cuts off the one still playing, even when its own file
    // is missing; a missing file plays nothing and says nothing.
    stopNow();
    const QFileInfo info(path);
    if (!info.isFile())
        return;
    auto *effect = new QSoundEffect(this);
    m_effect = effect;
    // The file loads in the background; it starts as soon as it is ready.
    connect(effect, &QSoundEffect::statusChanged, this, [effect] {
        if (effect->status() == QSoundEffect::Ready && !effect->isPlaying())
            effect->play();
    });
    effect->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
}
