#include "sound/LoudnessEnvelope.h"
#include "sound/WaveformCache.h"
#include "support/TestSupport.h"
#include "support/ToneFile.h"

#include <cmath>

class tst_Sound : public TestBase
{
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    void toneInEachFormat_data() { AddTestDataRows(QStringLiteral("sound/formats.txt")); }
    void toneInEachFormat()
    {
        QFETCH(QStringList, row);
        const QString path = m_dir.filePath(row[0] + QStringLiteral(".wav"));
        WriteToneFile(path, row[1].toInt(nullptr, 0), row[2].toInt(), row[3].toInt());
        const SoundInfo info = ReadSoundInfo(path);
        QCOMPARE(QList<qint64>({info.lengthMs(), info.sampleRate, info.channels}),
                 QList<qint64>({1000, row[3].toInt(), row[2].toInt()}));

        // 10 ms columns: those inside the tone hold its peaks, those a bucket clear of it are silent.
        const double bucketMs = WaveformOverview::kFramesPerBucket * 1000.0 / info.sampleRate;
        const auto peaks = WaveformCache::Shared().Get(path)->Range(0, 1000, 100);
        for (int c = 0; c < 100; ++c) {
            const auto &p = peaks[size_t(c)];
            if (c * 10 >= kToneOnMs && c * 10 + 10 <= kToneOffMs)
                QVERIFY2(p.max > 0.75f && p.max < 0.85f && p.min < -0.75f, qPrintable(QString::number(c)));
            else if (c * 10 + 10 + bucketMs <= kToneOnMs || c * 10 >= kToneOffMs + bucketMs)
                QVERIFY2(p.max - p.min < 0.02f, qPrintable(QString::number(c)));
        }

        // The tone's RMS is 0.57: with no attack it is there in the tone's first window; half of it is
        // crossed again within the release after the tone stops. Its peak is 0.8.
        const auto envelope = LoudnessEnvelope::Compute(path, {10, false, 0, 30});
        qint64 up = -1, down = -1;
        for (const EnvelopePoint &p : envelope) {
            if (up < 0 && p.level >= 0.28)
                up = p.timeMs;
            else if (up >= 0 && down < 0 && p.level < 0.28)
                down = p.timeMs;
        }
        QCOMPARE(up, kToneOnMs);
        QVERIFY2(down > kToneOffMs && down <= kToneOffMs + 50, qPrintable(QString::number(down)));
        QVERIFY(envelope[50].level > 0.53 && envelope[50].level < 0.6);
        QVERIFY(std::abs(LoudnessEnvelope::Compute(path, {10, true, 0, 30})[50].level - 0.8) < 0.03);
    }

    void overviewIsReadAgainOnlyWhenTheFileChanges()
    {
        const QString path = m_dir.filePath(QStringLiteral("cached.wav"));
        WriteToneFile(path, SF_FORMAT_PCM_16, 1, 8000);
        WaveformCache cache;
        QCOMPARE(cache.Get(path), cache.Get(path));
        WriteToneFile(path, SF_FORMAT_PCM_16, 1, 8000, 2000);
        QCOMPARE(cache.Get(path)->info().lengthMs(), 2000);
    }

    void unreadableFilesGiveTheirReason_data() { AddTestDataRows(QStringLiteral("sound/bad-files.txt")); }
    void unreadableFilesGiveTheirReason()
    {
        QFETCH(QStringList, row);
        const QString path = m_dir.filePath(row[0] + QStringLiteral(".wav"));
        if (row[1] == QLatin1String("/"))
            QVERIFY(QDir().mkpath(path));
        else if (row[1] != QLatin1String("-"))
            WriteNativeFile(QFile::encodeName(path), row[1].toUtf8());
        try {
            ReadSoundInfo(path);
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), row[2].toInt());
            QVERIFY2(e.description().contains(row[3]) && e.description().contains(path), qPrintable(e.description()));
        }
    }
};

TQ_TEST_MAIN(tst_Sound)
#include "tst_Sound.moc"
