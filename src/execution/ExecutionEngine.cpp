#include "execution/ExecutionEngine.h"

#include "app/DataPaths.h"
#include "execution/IRunObserver.h"
#include "execution/ISoundPlayer.h"
#include "execution/RunMailbox.h"
#include "link/LinkError.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/NumericText.h"
#include "program/InstructionSyntax.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

namespace {

const QString kRoutineExecute = QStringLiteral("0101");
const QString kRoutineExecuteInstruction = QStringLiteral("0106");
const QString kRoutineRunScript = QStringLiteral("0107");

// Long waits are cut into slices so that Stop and closing the application
// do not have to sit out a long pause line. The slices end on absolute times,
// so they cost no precision.
constexpr qint64 kAbortSliceNs = 50'000'000;

// The rest after a Loop pass that took no time.
constexpr qint64 kIdlePassNs = 1'000'000;

} // namespace

ExecutionEngine::ExecutionEngine(const Context &context)
    : m_ctx(context)
{
    Q_ASSERT(m_ctx.sink && m_ctx.clock && m_ctx.messages && m_ctx.observer && m_ctx.mailbox);
}

int ExecutionEngine::ProgressPercent(int n, int count)
{
    if (count <= 0)
        return 0;
    // Whole-number arithmetic: (n + 1) / count * 100 rounded halves to even,
    // without the binary fractions that turn 57.5 into 57.4999.
    const qint64 num = qint64(n + 1) * 100;
    const qint64 q = num / count;
    const qint64 twiceRest = (num % count) * 2;
    if (twiceRest > count || (twiceRest == count && q % 2 != 0))
        return int(q + 1);
    return int(q);
}

bool ExecutionEngine::SmartRatingMissing(const ProgramProperties &properties)
{
    return properties.InterInstructionDelay.compare(QLatin1String("smart"), Qt::CaseInsensitive) == 0 &&
           properties.SmartDelay.compare(QLatin1String("(none)"), Qt::CaseInsensitive) == 0;
}

RunOutcome ExecutionEngine::Run(const RunRequest &request)
{
    m_props = request.properties;
    m_program = request.program;
    m_items = m_program.Items();
    m_positions = request.positions;
    m_scriptsFolder = m_program.ScriptsFolder();
    m_dataFolder = DataPaths::UserDataFolder();
    m_selectedLine = request.selectedLine;
    m_stopRequested = false;
    m_pauseRequested = false;
    m_unwinding = false;
    m_scriptDepth = 0;
    m_line = -1;
    m_source.clear();
    // First use of the number parsing costs a millisecond or more; pay it
    // before the schedule starts, not inside the first line's time.
    try {
        BuildServoFrame(m_props.SynchByte, 0, 0);
        (void)ToLong(m_props.InterInstructionDelay);
    } catch (const AppError &) {
        // Reported where the value is really used.
    }
    m_deadlineNs = m_ctx.clock->nowNs();
    m_anchorPending = true;

    RunOutcome outcome;
    outcome.locked = false;
    try {
        if (request.center && request.mode != ExecutionMode::StepOneLine)
            center();
        outcome.locked = true;
        switch (request.mode) {
        case ExecutionMode::RunToSelected:
            // Progress counts towards the selected line, not the whole list.
            outcome.end = runThrough(request.selectedLine, request.selectedLine + 1);
            break;
        case ExecutionMode::Loop:
            runLoop();
            outcome.end = RunOutcome::End::StoppedThenEnded;
            break;
        case ExecutionMode::Once:
            outcome.end = runThrough(int(m_items.size()) - 1, -1);
            break;
        case ExecutionMode::StepOneLine:
            runStep();
            outcome.end = RunOutcome::End::Completed;
            break;
        }
    } catch (const AppError &e) {
        message({kErrorReportTitle, ErrorReportText(kRoutineExecute, e.number(), e.description()), MsgButtons::Ok,
                 MsgIcon::None});
        outcome.end = RunOutcome::End::Failed;
    }
    return outcome;
}

void ExecutionEngine::center()
{
    const qint16 position = ToInteger(m_props.ServoCenter);
    for (int servo = 0; servo < kServoCount; ++servo) {
        m_positions[servo] = position;
        m_ctx.observer->ServoPositionSet(servo, position);
        if (!sendServoFrame(servo, position))
            return;
    }
    waitMs(1000);
}

RunOutcome::End ExecutionEngine::runThrough(int lastLine, int progressTotal)
{
    for (int n = 0; n <= lastLine; ++n) {
        yield();
        if (m_stopRequested || ending())
            return RunOutcome::End::Stopped;
        // Lines removed while the run went on: nothing left to play.
        if (n >= m_items.size())
            break;
        select(n, ProgressPercent(n, progressTotal < 0 ? int(m_items.size()) : progressTotal));
        startLine(n);
        ExecuteInstruction(m_items.at(n), m_props.InterInstructionDelay);
    }
    return RunOutcome::End::Completed;
}

void ExecutionEngine::runLoop()
{
    for (;;) {
        // A loop over nothing would spin without a yield: a listing emptied
        // during the run ends it as a Stop would.
        if (m_items.isEmpty())
            return;
        const qint64 passStartNs = m_deadlineNs;
        for (int n = 0; n <= m_items.size() - 1; ++n) {
            yield();
            if (m_stopRequested || ending())
                return;
            if (n >= m_items.size())
                break;
            select(n, ProgressPercent(n, m_items.size()));
            startLine(n);
            ExecuteInstruction(m_items.at(n), m_props.InterInstructionDelay);
        }
        // A pass that takes no time (WAV lines, empty scripts, waits of 0 ms)
        // would come round again at once and keep a core busy, at real-time
        // priority where the thread has it: it rests a moment, off the schedule.
        if (m_deadlineNs == passStartNs) {
            m_ctx.clock->sleepUntilNs(m_ctx.clock->nowNs() + kIdlePassNs);
            rebaseSchedule();
        }
    }
}

void ExecutionEngine::runStep()
{
    const bool valid = m_selectedLine >= 0 && m_selectedLine < m_items.size();
    m_line = -1;
    if (valid)
        startLine(m_selectedLine);
    ExecuteInstruction(valid ? m_items.at(m_selectedLine) : QString(), m_props.InterInstructionDelay);
    // The next line, or the first after the last one or when none was selected.
    const int next = valid && m_selectedLine < m_items.size() - 1 ? m_selectedLine + 1 : 0;
    m_ctx.observer->Selected(next);
}

void ExecutionEngine::yield()
{
    const auto apply = [this](const QList<RunMailbox::Event> &events) {
        for (const RunMailbox::Event &event : events) {
            switch (event.kind) {
            case RunMailbox::Kind::Pause:
                m_pauseRequested = true;
                break;
            case RunMailbox::Kind::Resume:
                m_stopRequested = false;
                m_pauseRequested = false;
                break;
            case RunMailbox::Kind::Stop:
                m_stopRequested = true;
                m_pauseRequested = false;
                break;
            case RunMailbox::Kind::Listing:
                m_program = event.program;
                m_items = m_program.Items();
                break;
            }
        }
    };
    apply(m_ctx.mailbox->TakeAll());
    if (!m_pauseRequested)
        return;
    m_ctx.observer->PausedAtYield();
    while (m_pauseRequested && !m_ctx.mailbox->Aborted())
        apply(m_ctx.mailbox->WaitAndTakeAll());
    rebaseSchedule();
}

void ExecutionEngine::select(int line, int progress)
{
    m_ctx.observer->Selected(line);
    m_ctx.observer->Progress(progress);
}

void ExecutionEngine::startLine(int line)
{
    m_line = line;
    m_ctx.observer->LineStarted(line);
}

bool ExecutionEngine::sendServoFrame(int servo, int position)
{
    const ServoFrame frame = BuildServoFrame(m_props.SynchByte, servo, position);
    if (ending())
        return false;
    // The schedule counts from the first frame going out: what a fresh thread
    // spends before it (first touches of code and data) is not the program's time.
    if (m_anchorPending) {
        m_anchorPending = false;
        m_deadlineNs = qMax(m_deadlineNs, m_ctx.clock->nowNs());
    }
    try {
        m_ctx.sink->WriteFrame(frame);
    } catch (const AppError &e) {
        if (e.number() != LinkError::kBoardLost)
            throw;
        // The link has gone Offline and told the user: the run stops without
        // another report, and a script chain unwinds without its other lines.
        m_stopRequested = true;
        m_unwinding = true;
        return false;
    }
    return true;
}

void ExecutionEngine::waitMs(qint64 ms)
{
    // A negative wait takes no time; a huge one (a smart rating times a long
    // move) is cut so that the deadline in nanoseconds cannot overflow.
    ms = qBound<qint64>(0, ms, kMaxWaitMs);
    m_ctx.observer->Waiting(ms);
    m_deadlineNs += ms * 1'000'000;
    for (;;) {
        const qint64 now = m_ctx.clock->nowNs();
        if (now >= m_deadlineNs || ending())
            return;
        m_ctx.clock->sleepUntilNs(qMin(m_deadlineNs, now + kAbortSliceNs));
    }
}

bool ExecutionEngine::ending() const
{
    return m_ctx.mailbox->Ending();
}

void ExecutionEngine::rebaseSchedule()
{
    m_deadlineNs = qMax(m_deadlineNs, m_ctx.clock->nowNs());
}

MsgAnswer ExecutionEngine::message(const MessageRequest &request)
{
    const MsgAnswer answer = m_ctx.messages->show(request);
    rebaseSchedule();
    return answer;
}

void ExecutionEngine::delayAfter(const QString &lIID, qint64 delta)
{
    if (lIID.compare(QLatin1String("smart"), Qt::CaseInsensitive) == 0)
        waitMs(qMin(qint64(ToLong(m_props.SmartDelay)), kMaxWaitMs) * qMin(delta, kMaxWaitMs));
    else
        waitMs(ToLong(lIID));
}

void ExecutionEngine::ExecuteInstruction(const QString &sCom, const QString &lIID)
{
    // An unwinding script chain ends at the top; the next top-level line runs.
    if (m_scriptDepth == 0)
        m_unwinding = false;
    if (m_unwinding || ending())
        return;
    const Instruction line = ParseInstruction(sCom, KeywordMatch::Loose);
    try {
        switch (line.kind) {
        case InstructionKind::Mov: {
            if (!line.split)
                throw AppError::invalidArgument();
            const int servo = ToInteger(line.servo);
            const int position = ToInteger(line.position);
            if (servo < 0 || servo >= kServoCount)
                throw AppError::subscriptOutOfRange();
            const qint64 delta = std::abs(int(m_positions[servo]) - position);
            // Set before sending: a position the frame refuses is still remembered.
            m_positions[servo] = qint16(position);
            m_ctx.observer->ServoPositionSet(servo, position);
            if (!sendServoFrame(servo, position))
                return;
            delayAfter(lIID, delta);
            break;
        }
        case InstructionKind::Pause:
            waitMs(ToLong(line.milliseconds));
            delayAfter(lIID, 0);
            break;
        case InstructionKind::Script:
            RunScript(line.name, lIID);
            break;
        case InstructionKind::Wav:
            playSound(line.name);
            break;
        case InstructionKind::None:
            break;
        }
    } catch (const AppError &e) {
        message({kErrorReportTitle, ErrorReportText(kRoutineExecuteInstruction, e.number(), e.description()),
                 MsgButtons::Ok, MsgIcon::None});
    }
}

void ExecutionEngine::playSound(const QString &name)
{
    m_ctx.observer->SoundStarted(name);
    // A relative name is kept beside the user's other files, not in
    // whatever folder the process was started from.
    if (m_ctx.sound)
        m_ctx.sound->Play(SoundPath(name, m_dataFolder));
}

QString ExecutionEngine::SoundPath(const QString &name, const QString &dataFolder)
{
    return QDir(dataFolder).filePath(name);
}

void ExecutionEngine::RunScript(const QString &sfile, const QString &lIID)
{
    const QString path = m_scriptsFolder + QLatin1Char('/') + sfile;
    try {
        // Every name a line can run was looked up before the run; one that
        // was not (never expected) counts as missing rather than read now.
        const ResolvedProgram::Script *script = m_program.FindScript(sfile);
        if (!script || script->state == ResolvedProgram::Script::State::Missing) {
            message({kUserMessageTitle,
                     QStringLiteral("The Script ( ") + path +
                         QStringLiteral(" ) can not be found. Execution will be terminated."),
                     MsgButtons::OkCancel, MsgIcon::Critical});
            m_stopRequested = true;
            return;
        }
        if (m_scriptDepth >= kMaxScriptDepth) {
            // A script that calls itself, directly or round a chain, would
            // otherwise recurse until the stack runs out.
            message({kUserMessageTitle,
                     QStringLiteral("The Script ( ") + path + QStringLiteral(" ) is called more than ") +
                         QString::number(kMaxScriptDepth) +
                         QStringLiteral(" scripts deep. Execution will be terminated."),
                     MsgButtons::OkCancel, MsgIcon::Critical});
            m_stopRequested = true;
            m_unwinding = true;
            return;
        }
        if (script->state == ResolvedProgram::Script::State::Unreadable)
            throw AppError(script->errorNumber, script->errorDescription);
        const QStringList lines = script->lines;
        const QString caller = std::exchange(m_source, script->name);
        ++m_scriptDepth;
        for (const QString &line : lines) {
            if (m_unwinding || ending())
                break;
            ExecuteInstruction(line, lIID);
        }
        --m_scriptDepth;
        m_source = caller;
    } catch (const AppError &e) {
        message({kErrorReportTitle, ErrorReportText(kRoutineRunScript, e.number(), e.description()), MsgButtons::Ok,
                 MsgIcon::None});
    }
}
