#include "execution/sound/QtSoundPlayer.h"
#include "support/TestSupport.h"

#include <QSoundEffect>
#include <QTemporaryDir>

namespace {

// A valid 8 kHz, 8-bit mono WAV of the given number of silent samples.
QByteArray silentWav(quint32 samples)
{
    QByteArray b;
    auto u32 = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
    };
    auto u16 = [&b](quint16 v) {
        b.append(char(v & 0xff));
        b.append(char(v >> 8));
    };
    b.append("RIFF");
    u32(36 + samples);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);    // PCM
    u16(1);    // mono
    u32(8000); // sample rate
    u32(8000); // bytes per second
    u16(1);    // block align
    u16(8);    // bits per sample
    b.append("data");
    u32(samples);
    b.append(QByteArray(int(samples), char(0x80)));
    return b;
}

} // namespace

class TestQtSoundPlayer : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void onlyTheLatestSoundIsStarted()
    {
        // A run can reach WAV lines far faster than this thread takes them; the
        // ones it has not started yet would be cut off at once, so they must
        // not wait in its queue either.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("beep.wav"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(silentWav(800));
        file.close();
        QtSoundPlayer player;
        for (int i = 0; i < 1000; ++i)
            player.Play(path);
        QCoreApplication::sendPostedEvents(&player, QEvent::MetaCall);
        QCOMPARE(player.findChildren<QSoundEffect *>().size(), 1);
    }
};

TQ_TEST_MAIN(TestQtSoundPlayer)
#include "tst_QtSoundPlayer.moc"
