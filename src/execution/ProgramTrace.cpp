#include "execution/ProgramTrace.h"

#include "execution/IRunObserver.h"
#include "execution/RunMailbox.h"
#include "link/ServoFrame.h"
#include "platform/Clock.h"
#include "platform/MessageService.h"

#include <QHash>
#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace {

/// Virtual time for one thread: a wait moves it on at once. Keeps no record of
/// the waits, unlike the tests' clock, so a long run costs no memory for them.
class TraceClock final : public IClock
{
public:
    qint64 nowNs() const override { return m_now; }
    void sleepUntilNs(qint64 deadlineNs) override { m_now = qMax(m_now, deadlineNs); }
    void waitResponsive(int ms) override { m_now += qint64(ms) * 1'000'000; }

private:
    qint64 m_now = 0;
};

/// Stands in for the board, the observer and the message boxes of a run, and
/// writes down what reaches them with the engine's line and script at that moment.
class Collector final : public IFrameSink, public IRunObserver, public IMessageService
{
public:
    Collector(ProgramTrace &trace, qint64 maxEvents)
        : m_trace(trace)
        , m_maxEvents(maxEvents)
    {
    }

    TraceClock clock;
    RunMailbox mailbox;
    const ExecutionEngine *engine = nullptr;

    void WriteFrame(const ServoFrame &frame) override
    {
        if (TraceEvent *e = add(TraceEvent::Kind::Move)) {
            e->servo = frame.servo;
            e->position = frame.position;
        }
    }
    void SoundStarted(const QString &name) override
    {
        if (TraceEvent *e = add(TraceEvent::Kind::Sound))
            e->text = intern(name);
    }
    MsgAnswer show(const MessageRequest &request) override
    {
        if (TraceEvent *e = add(TraceEvent::Kind::Report))
            e->text = intern(request.text);
        return DefaultAnswer(request.buttons);
    }
    void Selected(int line) override
    {
        if (line == m_trace.lineStarts.size())
            m_trace.lineStarts.append(clock.nowNs() / 1'000'000);
    }
    void Progress(int) override {}

    void end()
    {
        TraceEvent end;
        end.timeMs = clock.nowNs() / 1'000'000;
        if (!m_trace.truncated)
            m_trace.events.append(end);
    }

private:
    /// The new event, or null once the run has made too many: it is then cut short.
    TraceEvent *add(TraceEvent::Kind kind)
    {
        if (m_trace.events.size() >= m_maxEvents) {
            m_trace.truncated = true;
            mailbox.Abort();
            return nullptr;
        }
        const QString &source = engine->CurrentSource();
        if (source != m_lastSource) {
            m_lastSource = source;
            m_lastSourceText = source.isEmpty() ? -1 : intern(source);
        }
        m_trace.events.append({clock.nowNs() / 1'000'000, kind, 0, 0, engine->CurrentLine(), -1, m_lastSourceText});
        return &m_trace.events.last();
    }
    int intern(const QString &text)
    {
        const auto found = m_texts.constFind(text);
        if (found != m_texts.cend())
            return *found;
        m_trace.texts.append(text);
        return *m_texts.insert(text, int(m_trace.texts.size() - 1));
    }

    ProgramTrace &m_trace;
    const qint64 m_maxEvents;
    QHash<QString, int> m_texts;
    QString m_lastSource;
    int m_lastSourceText = -1;
};

/// A CSV field: quoted, quotes doubled, when it holds a comma, quote or line break.
QByteArray csvField(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r'))
        bytes = '"' + bytes.replace('"', "\"\"") + '"';
    return bytes;
}

} // namespace

RunRequest ProgramTrace::OnceRequest(const QStringList &items, const ProgramProperties &properties,
                                     const QString &scriptsFolder)
{
    RunRequest request;
    request.program = ResolvedProgram(items, scriptsFolder);
    request.mode = ExecutionMode::Once;
    request.center = false;
    request.properties = properties;
    return request;
}

double ProgramTrace::TimeInto(const QList<qint64> &lineStarts, qint64 endMs, int line, double intoMs)
{
    if (line < 0 || line >= lineStarts.size())
        return -1;
    const qint64 start = lineStarts.at(line);
    const qint64 next = line + 1 < lineStarts.size() ? lineStarts.at(line + 1) : endMs;
    return double(start) + std::clamp(intoMs, 0.0, double(std::max<qint64>(0, next - start)));
}

ProgramTrace ProgramTrace::Run(const RunRequest &request, qint64 maxEvents, std::stop_token cancel)
{
    ProgramTrace trace;
    Collector collector(trace, maxEvents);
    // The engine looks at its mailbox before every instruction, scripts included.
    const std::stop_callback cancelled(cancel, [&] { collector.mailbox.Abort(); });
    ExecutionEngine engine({&collector, &collector.clock, nullptr, &collector, &collector, &collector.mailbox});
    collector.engine = &engine;
    RunRequest once = request;
    if (once.mode == ExecutionMode::Loop)
        once.mode = ExecutionMode::Once;
    trace.outcome = engine.Run(once);
    trace.truncated = trace.truncated || collector.mailbox.Aborted();
    collector.end();
    return trace;
}

bool ProgramTrace::WriteCsv(QIODevice &out) const
{
    std::vector<std::string> fields;
    fields.reserve(texts.size());
    for (const QString &text : texts)
        fields.push_back(csvField(text).toStdString());
    static const std::string_view kNames[] = {",move,", ",sound,,", ",report,,", ",end,,,,"};
    std::string buffer = "time_ms,event,servo,value,line,source\n";
    buffer.reserve(1 << 17);
    const auto number = [&buffer](qint64 n) {
        char digits[24];
        buffer.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    };
    for (const TraceEvent &e : events) {
        number(e.timeMs);
        buffer += kNames[int(e.kind)];
        if (e.kind != TraceEvent::Kind::End) {
            if (e.kind == TraceEvent::Kind::Move) {
                number(e.servo);
                buffer += ',';
                number(e.position);
            } else {
                buffer += fields.at(e.text);
            }
            buffer += ',';
            number(e.line + 1);
            buffer += ',';
            if (e.source >= 0)
                buffer += fields.at(e.source);
        }
        buffer += '\n';
        if (buffer.size() >= 1 << 16) {
            if (out.write(buffer.data(), qint64(buffer.size())) != qint64(buffer.size()))
                return false;
            buffer.clear();
        }
    }
    return out.write(buffer.data(), qint64(buffer.size())) == qint64(buffer.size());
}
