#include "execution/ProgramTrace.h"
#include "record/Take.h"
#include "record/TakeLines.h"
#include "support/TestSupport.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

/// "T:S=P" moves, "end=T", and "sine:S:centre:amplitude:periodMs:lengthMs" sampled at 100 Hz.
Take takeOf(const QString &field)
{
    Take take;
    for (const QString &token : field.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = token.split(QRegularExpression(QStringLiteral("[:=]")));
        if (f[0] == QLatin1String("end"))
            take.SetLength(f[1].toLongLong());
        else if (f[0] == QLatin1String("sine"))
            for (qint64 t = 0; t <= f[5].toLongLong(); t += 10)
                take.Append(
                    t, f[1].toInt(),
                    qRound(f[2].toDouble() + f[3].toDouble() * std::sin(2 * std::numbers::pi * t / f[4].toDouble())));
        else
            take.Append(f[0].toLongLong(), f[1].toInt(), f[2].toInt());
    }
    return take;
}

ProgramTrace traceOf(const QStringList &items, const ProgramProperties &properties)
{
    RunRequest request;
    request.program = ResolvedProgram(items, TestDataPath(QStringLiteral("record")));
    request.properties = properties;
    return ProgramTrace::Run(request);
}

/// The frames (servo, time, position) and sound starts (servo -1) of a run, by servo, each in time order.
using Sent = QList<std::array<qint64, 3>>;
Sent sentBy(const ProgramTrace &trace)
{
    Sent sent;
    for (const TraceEvent &e : trace.events)
        if (e.kind == TraceEvent::Kind::Move || e.kind == TraceEvent::Kind::Sound)
            sent.append({e.kind == TraceEvent::Kind::Move ? e.servo : -1, e.timeMs, e.position});
    std::stable_sort(sent.begin(), sent.end(), [](const auto &a, const auto &b) { return a[0] < b[0]; });
    return sent;
}

} // namespace

/// Takes written as lines alone and over programs, checked by playing the lines back.
class TestRecord : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void takes_data() { AddTestDataRows(QStringLiteral("record/takes.txt")); }
    void takes()
    {
        QFETCH(QStringList, row); // name | delay | tolerance | take | program | kept | merged | lines
        ProgramProperties properties;
        properties.InterInstructionDelay = row[1];
        const Take performed = takeOf(row[3]);
        const Take take = performed.Thinned(row[2].toInt());
        // Thinning: what the servo holds never strays beyond the tolerance from what was performed.
        QCOMPARE(take.Moves().size(), row[5].toInt());
        std::array<int, 16> held{};
        for (qsizetype i = 0, j = 0; i < performed.Moves().size(); ++i) {
            const TakeMove &move = performed.Moves()[i];
            if (j < take.Moves().size() && take.Moves()[j] == move)
                held[move.servo] = take.Moves()[j++].position;
            QVERIFY2(std::abs(held[move.servo] - move.position) <= row[2].toInt(), qPrintable(QString::number(i)));
        }

        const QStringList items = row[4].isEmpty() ? QStringList() : row[4].split(QLatin1Char(';'));
        const TakeLines out =
            items.isEmpty() ? TakeLines::OfTake(take, properties)
                            : TakeLines::OverProgram(take, items, properties, TestDataPath(QStringLiteral("record")));
        if (row[7].startsWith(QLatin1String("refused "))) {
            QVERIFY2(out.refusal.contains(row[7].mid(8)), qPrintable(out.refusal));
            QVERIFY(out.lines.isEmpty());
            return;
        }
        QCOMPARE(out.merged, row[6].toInt());
        if (row[7].endsWith(QLatin1String(".txt"))) {
            QFile expected(TestDataPath(QStringLiteral("record/") + row[7]));
            QVERIFY(expected.open(QIODevice::ReadOnly | QIODevice::Text));
            QCOMPARE(out.lines, QString::fromUtf8(expected.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        } else {
            QCOMPARE(out.lines.size(), row[7].toInt());
        }

        // Played back: the program's frames and sounds outside the punched span, and the take's
        // moves, each within the bound of its time (or, merged, each servo ending where performed).
        Sent expected;
        const qint64 start = take.IsEmpty() ? 0 : take.Moves().first().timeMs;
        for (const TraceEvent &e : traceOf(items, properties).events)
            if ((e.kind == TraceEvent::Kind::Move || e.kind == TraceEvent::Kind::Sound) &&
                !(e.kind == TraceEvent::Kind::Move && (take.Servos() >> e.servo & 1) && e.source < 0 &&
                  e.timeMs >= start && e.timeMs <= take.LengthMs()))
                expected.append({e.kind == TraceEvent::Kind::Move ? e.servo : -1, e.timeMs, e.position});
        for (const TakeMove &move : take.Moves())
            expected.append({move.servo, move.timeMs, move.position});
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto &a, const auto &b) { return a[0] != b[0] ? a[0] < b[0] : a[1] < b[1]; });
        const Sent played = sentBy(traceOf(out.lines, properties));
        if (out.merged == 0) {
            QCOMPARE(played.size(), expected.size());
            for (qsizetype i = 0; i < played.size(); ++i)
                QVERIFY2(played[i][0] == expected[i][0] && played[i][2] == expected[i][2] &&
                             std::abs(played[i][1] - expected[i][1]) <= out.boundMs,
                         qPrintable(QString::number(i)));
        }
        for (qsizetype i = 0; i < played.size(); ++i)
            if (i + 1 == played.size() || played[i + 1][0] != played[i][0])
                QCOMPARE(played[i][2], (*std::find_if(expected.crbegin(), expected.crend(),
                                                      [&](const auto &e) { return e[0] == played[i][0]; }))[2]);
    }
};

TQ_TEST_MAIN(TestRecord)
#include "tst_Record.moc"
