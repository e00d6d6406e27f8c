#pragma once

#include <QFile>
#include <QString>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <vector>

// A 440 Hz tone at 0.8 of full scale (channels mixed), switched on and off at these times.
inline constexpr int kToneOnMs = 300;
inline constexpr int kToneOffMs = 700;

/// Writes a WAV file of the tone; link the test with PkgConfig::SNDFILE.
inline void WriteToneFile(const QString &path, int format, int channels, int rate, int lengthMs = 1000)
{
    SF_INFO info = {0, rate, channels, SF_FORMAT_WAV | format, 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    const qint64 frames = qint64(lengthMs) * rate / 1000;
    std::vector<float> data(size_t(frames * channels));
    for (qint64 i = 0; i < frames; ++i) {
        const bool on = i * 1000 >= qint64(kToneOnMs) * rate && i * 1000 < qint64(kToneOffMs) * rate;
        const double v = on ? 0.8 * std::sin(2 * std::numbers::pi * 440 * double(i) / rate) : 0;
        for (int k = 0; k < channels; ++k) // two channels mix to the mono tone
            data[size_t(i * channels + k)] = float(channels == 1 ? v : v * (k == 0 ? 0.95 : 0.65) / 0.8);
    }
    QCOMPARE(sf_writef_float(file, data.data(), frames), frames);
    sf_close(file);
}

/// The same tone, mono, on from each even time to the odd one after it (ms).
inline void WriteToneSpans(const QString &path, const QList<int> &switches, int lengthMs, int rate = 8000)
{
    SF_INFO info = {0, rate, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    QVERIFY2(file, sf_strerror(nullptr));
    std::vector<float> data(static_cast<size_t>(qint64(lengthMs) * rate / 1000));
    for (size_t i = 0; i < data.size(); ++i) {
        bool on = false;
        for (qsizetype k = 0; k + 1 < switches.size(); k += 2)
            on = on ||
                 (qint64(i) * 1000 >= qint64(switches[k]) * rate && qint64(i) * 1000 < qint64(switches[k + 1]) * rate);
        data[i] = on ? float(0.8 * std::sin(2 * std::numbers::pi * 440 * double(i) / rate)) : 0.0f;
    }
    QCOMPARE(sf_writef_float(file, data.data(), sf_count_t(data.size())), sf_count_t(data.size()));
    sf_close(file);
}
