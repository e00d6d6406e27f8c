// Playback of any program and scripts on virtual time: no crash, no wait outside 0..kMaxWaitMs, and
// time never runs backwards. The first byte chooses the mode and centring; the rest is the program
// file, then "#" lines each starting a script file named by the line after it. A name ending in "/"
// is made a folder, "fifo:NAME" a FIFO and "dev:NAME" a link to /dev/zero.

#include "FuzzSupport.h"
#include "execution/ExecutionEngine.h"
#include "execution/IRunObserver.h"
#include "execution/RunMailbox.h"
#include "link/ServoFrame.h"
#include "platform/Clock.h"
#include "program/ProgramFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

/// Virtual time that jumps to each deadline; a run that goes on too long is aborted.
class Recorder final : public IClock, public IFrameSink, public IRunObserver, public IMessageService
{
public:
    RunMailbox mailbox;
    qint64 now = 0;
    int events = 0;
    qint64 lastDeadline = 0;

    qint64 nowNs() const override { return now; }
    void sleepUntilNs(qint64 deadline) override
    {
        // The schedule only moves forward: a deadline before the last one has wrapped.
        FUZZ_CHECK(deadline >= lastDeadline);
        lastDeadline = deadline;
        now = std::max(now, deadline);
        tick();
    }
    void waitResponsive(int ms) override { now += qint64(ms) * 1'000'000; }
    void WriteFrame(const ServoFrame &frame) override
    {
        FUZZ_CHECK(frame.bytes().size() == 3);
        tick();
    }
    void Selected(int) override { tick(); }
    void Progress(int percent) override { FUZZ_CHECK(percent >= 0 && percent <= 100); }
    void Waiting(long long ms) override
    {
        FUZZ_CHECK(ms >= 0 && ms <= ExecutionEngine::kMaxWaitMs);
        tick();
    }
    MsgAnswer show(const MessageRequest &request) override { return tick(), DefaultAnswer(request.buttons); }

private:
    void tick()
    {
        if (++events > 2000)
            mailbox.Abort();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    QTemporaryDir scripts(FuzzHome() + QStringLiteral("/scripts-XXXXXX"));
    const QStringList parts = FuzzText(data + 1, size - 1).split(QStringLiteral("\n#\n"));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString name = parts[i].section(QLatin1Char('\n'), 0, 0);
        const QString path = scripts.filePath(name.section(QLatin1Char(':'), -1));
        if (name.isEmpty() || name.contains(QLatin1String("..")) ||
            name.left(name.size() - 1).contains(QLatin1Char('/')))
            continue;
        if (name.endsWith(QLatin1Char('/')))
            QDir().mkdir(path);
        else if (name.startsWith(QLatin1String("fifo:")))
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        else if (name.startsWith(QLatin1String("dev:")))
            QFile::link(QStringLiteral("/dev/zero"), path);
        else if (!name.contains(QChar()) && !QFileInfo::exists(path))
            WriteWholeFileBytes(path, EncodeFileText(parts[i].section(QLatin1Char('\n'), 1)));
    }
    const ParsedProgram program = ParseProgramText(parts[0], ProgramProperties());
    Recorder rec;
    ExecutionEngine engine({&rec, &rec, nullptr, &rec, &rec, &rec.mailbox});
    engine.Run({.program = ResolvedProgram(program.listing, scripts.path()),
                .mode = ExecutionMode(data[0] & 3),
                .selectedLine = int(program.listing.size()) - 1 - (data[0] >> 3),
                .center = bool(data[0] & 4),
                .properties = program.properties});
    return 0;
}
