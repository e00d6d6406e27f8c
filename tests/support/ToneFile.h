#pragma once

#include <QFile>
#include <QTest>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

/// Writes a mono WAV file of a 440 Hz tone at 0.8 of full scale, on from each even time to the
/// odd one after it (ms); link the test with PkgConfig::SNDFILE.
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
