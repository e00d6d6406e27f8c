#include "app/FileHelpers.h"
#include "execution/ProgramTrace.h"
#include "record/JawMoves.h"
#include "record/ProgramTime.h"
#include "record/Take.h"
#include "record/TakeLines.h"
#include "support/TestSupport.h"
#include "support/ToneFile.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

/// "T:S=P" moves, "end=T", and "sine:S:centre:amplitude:periodMs:lengthMs" sampled at 100 Hz.
Take takeOf(const QString &field)
{
    Take take;
    for (const QString &token : field.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList f = QString(token).replace(QLatin1Char('='), QLatin1Char(':')).split(QLatin1Char(':'));
        if (f[0] == QLatin1String("end"))
            take.SetLength(f[1].toLongLong());
        for (qint64 t = 0; f[0] == QLatin1String("sine") && t <= f[5].toLongLong(); t += 10)
            take.Append(
                t, f[1].toInt(),
                qRound(f[2].toDouble() + f[3].toDouble() * std::sin(2 * std::numbers::pi * t / f[4].toDouble())));
        if (f.size() == 3)
            take.Append(f[0].toLongLong(), f[1].toInt(), f[2].toInt());
    }
    return take;
}

/// The frames (servo, time, position) and sound starts (servo -1) of a run, in that order; with a take, its moves
/// instead of the program's own frames it punches out.
using Sent = QList<std::array<qint64, 3>>;
Sent sent(const QStringList &items, const ProgramProperties &properties, const Take &take = {})
{
    Sent out;
    const qint64 from = take.IsEmpty() ? 0 : take.Moves().first().timeMs;
    const ProgramTrace trace = ProgramTrace::Run(
        {.program = ResolvedProgram(items, TestDataPath(QStringLiteral("record"))), .properties = properties});
    for (const TraceEvent &e : trace.events) {
        const bool move = e.kind == TraceEvent::Kind::Move;
        if ((move || e.kind == TraceEvent::Kind::Sound) && !(move && e.source < 0 && (take.Servos() >> e.servo & 1) &&
                                                             e.timeMs >= from && e.timeMs <= take.LengthMs()))
            out.append({move ? e.servo : -1, e.timeMs, e.position});
    }
    for (const TakeMove &move : take.Moves())
        out.append({move.servo, move.timeMs, move.position});
    std::sort(out.begin(), out.end());
    return out;
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
        const ProgramProperties properties{.InterInstructionDelay = row[1]};
        const Take performed = takeOf(row[3]);
        const Take take = performed.Thinned(row[2].toInt());
        // Thinned, what each servo holds stays within the tolerance of what was performed.
        QCOMPARE(take.Moves().size(), row[5].toInt());
        std::array<int, 16> held{};
        for (qsizetype j = 0; const TakeMove &move : performed.Moves()) {
            if (j < take.Moves().size() && take.Moves()[j] == move)
                held[move.servo] = take.Moves()[j++].position;
            QVERIFY(std::abs(held[move.servo] - move.position) <= row[2].toInt());
        }

        const QStringList items = row[4].isEmpty() ? QStringList() : row[4].split(QLatin1Char(';'));
        const TakeLines out =
            items.isEmpty() ? TakeLines::OfTake(take, properties)
                            : TakeLines::OverProgram(take, items, properties, TestDataPath(QStringLiteral("record")));
        if (row[7].startsWith(QLatin1String("refused "))) {
            QVERIFY2(out.refusal.contains(row[7].mid(8)) && out.lines.isEmpty(), qPrintable(out.refusal));
            return;
        }
        QCOMPARE(out.merged, row[6].toInt());
        if (row[7].endsWith(QLatin1String(".txt")))
            QCOMPARE(out.lines.join(QLatin1Char('\n')) + QLatin1Char('\n'),
                     ReadWholeFile(TestDataPath(QStringLiteral("record/") + row[7])));
        else
            QCOMPARE(out.lines.size(), row[7].toInt());

        // Played back, every frame and sound within the error found, itself within the bound unless moves merged.
        QVERIFY(out.merged > 0 || out.worstErrorMs <= out.boundMs);
        const Sent expected = sent(items, properties, take);
        const Sent played = sent(out.lines, properties);
        for (qsizetype i = 0; out.merged == 0 && i < qMax(played.size(), expected.size()); ++i)
            QVERIFY2(i < played.size() && i < expected.size() && played[i][0] == expected[i][0] &&
                         played[i][2] == expected[i][2] && std::abs(played[i][1] - expected[i][1]) <= out.worstErrorMs,
                     qPrintable(QString::number(i)));
    }

    void programTime_data() { AddTestDataRows(QStringLiteral("record/program-time.txt")); }
    void programTime()
    {
        QFETCH(QStringList, row);
        const ProgramTrace trace = ProgramTrace::Run(
            {.program = ResolvedProgram(
                 {QStringLiteral("Mov 1,10"), QStringLiteral("Pause 500"), QStringLiteral("Mov 2,20")}, {}),
             .properties = {.InterInstructionDelay = QStringLiteral("100")}});
        QList<LineReached> reached;
        for (const QString &r : row[1].split(u' '))
            reached.append({r.section(u'@', 0, 0).toInt(), r.section(u'@', 1).toLongLong()});
        const Take moved = OnProgramTime(takeOf(row[3]), reached, trace,
                                         row[2] == u'-' ? std::nullopt : std::optional<qint64>(row[2].toLongLong()));
        const Take expected = takeOf(row[4]);
        QCOMPARE(moved.Moves(), expected.Moves());
        QCOMPARE(moved.LengthMs(), expected.LengthMs());
    }

    void jaw_data() { AddTestDataRows(QStringLiteral("record/jaw.txt")); }
    void jaw()
    {
        QFETCH(QStringList, row); // see the table's header
        QTemporaryDir data;
        QList<int> tone; // switch times, then the length
        for (const QString &t : row[4].split(u' '))
            tone.append(t.toInt());
        WriteToneSpans(data.filePath(QStringLiteral("tone.wav")), tone.mid(0, tone.size() - 1), tone.last());
        const QStringList f = row[2].split(u' ');
        const JawSettings jaw{f[0].toInt(),    f[1].toInt(), f[2].toInt(), f[3].toDouble() / 100,
                              f[4].toDouble(), f[5].toInt(), f[6].toInt(), f[7].toInt()};
        const ProgramProperties properties{.InterInstructionDelay = row[1]};
        const QStringList items = row[3].split(u';');
        const TakeLines out = JawMoves::OverProgram(int(items.indexOf(QRegularExpression(QStringLiteral("wav .*")))),
                                                    items, properties, jaw, QString(), data.path());
        QVERIFY2(row[6].isEmpty() ? out.refusal.isEmpty() : out.refusal.contains(row[6]) && out.lines.isEmpty(),
                 qPrintable(out.refusal));

        // Played back from the sound's start: the opening amid the first tone, and the times.
        qint64 start = -1;
        int held = -1;
        QList<std::pair<qint64, int>> moves;
        for (const TraceEvent &e :
             ProgramTrace::Run({.program = ResolvedProgram(out.lines, {}), .properties = properties}).events) {
            start = start < 0 && e.kind == TraceEvent::Kind::Sound ? e.timeMs : start;
            if (e.kind == TraceEvent::Kind::Move && e.servo == jaw.servo && start >= 0) {
                moves.append({e.timeMs - start, e.position});
                held = e.timeMs - start <= (tone[0] + tone[1]) / 2 ? e.position : held;
            }
        }
        QCOMPARE(held, row[5].toInt());
        for (qsizetype next = 0; const QString &expected : row.value(7).split(u' ', Qt::SkipEmptyParts)) {
            const bool closed = expected.endsWith(u'c');
            while (next < moves.size() && (moves[next].second == jaw.closed) != closed)
                ++next;
            QVERIFY2(next < moves.size() && std::abs(moves[next++].first - expected.chopped(2).toInt()) <= 50,
                     qPrintable(expected));
        }
    }
};

TQ_TEST_MAIN(TestRecord)
#include "tst_Record.moc"
