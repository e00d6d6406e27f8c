#pragma once
// What several benchmarks share: the large program with scripts and sounds, and the median of runs.

#include <QString>
#include <QStringList>

#include <algorithm>
#include <vector>

inline constexpr int kBenchLines = 32767;

/// kBenchLines lines: moves of every servo, pauses, `script arm.tqs` and a WAV line now and then.
inline QStringList MakeBenchProgram()
{
    QStringList program;
    program.reserve(kBenchLines);
    for (int i = 0; i < kBenchLines; ++i) {
        if (i % 8 == 3)
            program << QStringLiteral("pause 250");
        else if (i % 8 == 5)
            program << QStringLiteral("script arm.tqs");
        else if (i % 64 == 7)
            program << QStringLiteral("wav sounds/beep.wav");
        else
            program << QStringLiteral("mov %1,%2").arg(i % 16).arg((i * 37) % 255);
    }
    return program;
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
