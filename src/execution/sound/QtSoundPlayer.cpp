#include "execution/sound/QtSoundPlayer.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{
}

QtSoundPlayer::~QtSoundPlayer()
{
    // Qt loads samples on a thread of its own; one still loading when the
    // application object goes away crashes in that thread. Let it finish first.
    if (m_effect && m_effect->status() == QSoundEffect::Loading) {
        QEventLoop loop;
        QSoundEffect *effect = m_effect;
        connect(effect, &QSoundEffect::statusChanged, &loop, [effect, &loop] {
            if (effect->status() != QSoundEffect::Loading)
                loop.quit();
        });
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    stopNow();
}

void QtSoundPlayer::Play(const QString &path)
{
    // Only the latest sound counts: one this thread has not started yet would
    // be cut off at once by the next anyway, and a run that plays WAV lines
    // without waiting must not pile events up here.
    QMutexLocker lock(&m_mutex);
    m_next = path;
    if (std::exchange(m_posted, true))
        return;
    QMetaObject::invokeMethod(
        this, [this] { takeNext(); }, Qt::QueuedConnection);
}

void QtSoundPlayer::takeNext()
{
    QString path;
    {
        QMutexLocker lock(&m_mutex);
        path = std::exchange(m_next, QString());
        m_posted = false;
    }
    playNow(path);
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
