#include "sound/LoudnessEnvelope.h"
#include "sound/WaveformCache.h"
#include "support/TestSupport.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>

namespace {

// A 440 Hz tone at 0.8 of full scale (channels mixed), switched on and off at these times.
constexpr int kOnMs = 300;
constexpr int kOffMs = 700;

void writeTone(const QString &path, int format, int channels, int rate, int lengthMs = 1000)
{
    SF_INFO info = {0, rate, channels, SF_FORMAT_WAV | format, 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    const qint64 frames = qint64(lengthMs) * rate / 1000;
    std::vector<float> data(size_t(frames * channels));
    for (qint64 i = 0; i < frames; ++i) {
        const bool on = i * 1000 >= qint64(kOnMs) * rate && i * 1000 < qint64(kOffMs) * rate;
        const double v = on ? 0.8 * std::sin(2 * std::numbers::pi * 440 * double(i) / rate) : 0;
        for (int k = 0; k < channels; ++k) // two channels mix to the mono tone
            data[size_t(i * channels + k)] = float(channels == 1 ? v : v * (k == 0 ? 0.95 : 0.65) / 0.8);
    }
    QCOMPARE(sf_writef_float(file, data.data(), frames), frames);
    sf_close(file);
}

} // namespace

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
        writeTone(path, row[1].toInt(nullptr, 0), row[2].toInt(), row[3].toInt());
        const SoundInfo info = ReadSoundInfo(path);
        QCOMPARE(QList<qint64>({info.lengthMs(), info.sampleRate, info.channels}),
                 QList<qint64>({1000, row[3].toInt(), row[2].toInt()}));

        // 10 ms columns: those inside the tone hold its peaks, those a bucket clear of it are silent.
        const double bucketMs = WaveformOverview::kFramesPerBucket * 1000.0 / info.sampleRate;
        const auto peaks = WaveformCache::Shared().Get(path)->Range(0, 1000, 100);
        for (int c = 0; c < 100; ++c) {
            const auto &p = peaks[size_t(c)];
            if (c * 10 >= kOnMs && c * 10 + 10 <= kOffMs)
                QVERIFY2(p.max > 0.75f && p.max < 0.85f && p.min < -0.75f, qPrintable(QString::number(c)));
            else if (c * 10 + 10 + bucketMs <= kOnMs || c * 10 >= kOffMs + bucketMs)
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
        QCOMPARE(up, kOnMs);
        QVERIFY2(down > kOffMs && down <= kOffMs + 50, qPrintable(QString::number(down)));
        QVERIFY(envelope[50].level > 0.53 && envelope[50].level < 0.6);
        QVERIFY(std::abs(LoudnessEnvelope::Compute(path, {10, true, 0, 30})[50].level - 0.8) < 0.03);
    }

    void overviewIsReadAgainOnlyWhenTheFileChanges()
    {
        const QString path = m_dir.filePath(QStringLiteral("cached.wav"));
        writeTone(path, SF_FORMAT_PCM_16, 1, 8000);
        WaveformCache cache;
        QCOMPARE(cache.Get(path), cache.Get(path));
        writeTone(path, SF_FORMAT_PCM_16, 1, 8000, 2000);
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
