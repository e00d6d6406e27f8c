#include "execution/sound/QtSoundPlayer.h"
#include "support/TestSupport.h"

#include <QSoundEffect>

class TestQtSoundPlayer : public TestBase
{
    Q_OBJECT

private Q_SLOTS:
    void onlyTheLatestSoundIsStarted()
    {
        // A run can reach WAV lines far faster than this thread takes them; the
        // ones it has not started yet would be cut off at once, so they must
        // not wait in its queue either. The file: 0.1 s of 8 kHz, 8-bit mono silence.
        const QString path = TestDataPath(QStringLiteral("execution/beep.wav"));
        QVERIFY(QFile::exists(path));
        QtSoundPlayer player;
        for (int i = 0; i < 1000; ++i)
            player.Play(path);
        QCoreApplication::sendPostedEvents(&player, QEvent::MetaCall);
        QCOMPARE(player.findChildren<QSoundEffect *>().size(), 1);
    }
};

TQ_TEST_MAIN(TestQtSoundPlayer)
#include "tst_QtSoundPlayer.moc"
