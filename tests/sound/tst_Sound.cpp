#include "sound/LoudnessEnvelope.h"
#include "sound/WaveformCache.h"
#include "support/TestSupport.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>

namespace {

// A 440 Hz tone at 0.8 of full scale, on every channel, switched on and off at these times.
constexpr int kOnMs = 300;
constexpr int kOffMs = 700;

void writeTone(const QString &path, const QString &format, int channels, int rate, int lengthMs = 1000)
{
    const QHash<QString, int> formats = {{"u8", SF_FORMAT_PCM_U8},
                                         {"16", SF_FORMAT_PCM_16},
                                         {"24", SF_FORMAT_PCM_24},
                                         {"32", SF_FORMAT_PCM_32},
                                         {"float", SF_FORMAT_FLOAT}};
    SF_INFO info = {0, rate, channels, SF_FORMAT_WAV | formats.value(format), 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    const qint64 frames = qint64(lengthMs) * rate / 1000;
    std::vector<float> data(size_t(frames * channels));
    for (qint64 i = 0; i < frames; ++i) {
        const bool on = i * 1000 >= qint64(kOnMs) * rate && i * 1000 < qint64(kOffMs) * rate;
        const double v = on ? 0.8 * std::sin(2 * std::numbers::pi * 440 * double(i) / rate) : 0;
        std::fill_n(data.begin() + i * channels, channels, float(v));
    }
    QCOMPARE(sf_writef_float(file, data.data(), frames), frames);
    sf_close(file);
}

// The first point from `after` on whose level is on the other side of `level` than `wasAbove`.
qint64 crossing(const std::vector<EnvelopePoint> &points, qint64 after, double level, bool wasAbove)
{
    for (const EnvelopePoint &p : points)
        if (p.timeMs >= after && (p.level >= level) != wasAbove)
            return p.timeMs;
    return -1;
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
        writeTone(path, row[1], row[2].toInt(), row[3].toInt());
        const SoundInfo info = ReadSoundInfo(path);
        QCOMPARE(info.lengthMs(), 1000);
        QCOMPARE(info.sampleRate, row[3].toInt());
        QCOMPARE(info.channels, row[2].toInt());

        // 50 ms columns: those inside the tone hold its peaks, those a bucket (32 ms at most) clear
        // of it are silent; the two at the switches may go either way.
        const auto peaks = WaveformCache::Shared().Get(path)->Range(0, 1000, 20);
        for (int c = 0; c < 20; ++c) {
            const bool on = c * 50 >= kOnMs && (c + 1) * 50 <= kOffMs;
            if (on)
                QVERIFY2(peaks[c].max > 0.75f && peaks[c].min < -0.75f, qPrintable(QString::number(c)));
            else if ((c + 1) * 50 < kOnMs || c * 50 > kOffMs)
                QVERIFY2(peaks[c].max - peaks[c].min < 0.02f, qPrintable(QString::number(c)));
        }

        // The tone's RMS is 0.57: half of it is crossed near each switch.
        const auto envelope = LoudnessEnvelope::Compute(path, {10, false, 10, 30});
        QCOMPARE(envelope.size(), 100u);
        const qint64 up = crossing(envelope, 0, 0.28, false);
        QVERIFY2(std::abs(up - kOnMs) <= 50, qPrintable(QString::number(up)));
        const qint64 down = crossing(envelope, up, 0.28, true);
        QVERIFY2(std::abs(down - kOffMs) <= 50, qPrintable(QString::number(down)));
    }

    void overviewIsReadAgainOnlyWhenTheFileChanges()
    {
        const QString path = m_dir.filePath(QStringLiteral("cached.wav"));
        writeTone(path, QStringLiteral("16"), 1, 8000);
        WaveformCache cache;
        const auto first = cache.Get(path);
        QCOMPARE(cache.Get(path), first);
        writeTone(path, QStringLiteral("16"), 1, 8000, 2000);
        QCOMPARE(cache.Get(path)->info().lengthMs(), 2000);
    }

    void unreadableFilesGiveTheirReason_data() { AddTestDataRows(QStringLiteral("sound/bad-files.txt")); }
    void unreadableFilesGiveTheirReason()
    {
        QFETCH(QStringList, row);
        const QString path = m_dir.filePath(row[0] + QStringLiteral(".wav"));
        QFile file(path);
        if (row[0] == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(path));
        else if (row[0] == QLatin1String("text"))
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("wav hello.wav\r\n") > 0);
        else if (row[0] == QLatin1String("truncated header")) {
            writeTone(path, QStringLiteral("16"), 2, 44100);
            QVERIFY(file.resize(30));
        } else if (row[0] == QLatin1String("zero length"))
            QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        try {
            ReadSoundInfo(path);
            QFAIL("no error");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), row[1].toInt());
            QVERIFY2(e.description().contains(row[2]) && e.description().contains(path), qPrintable(e.description()));
        }
    }
};

TQ_TEST_MAIN(tst_Sound)
#include "tst_Sound.moc"
