#include "execution/ExecutionController.h"

#include "app/AppState.h"
#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "execution/IExecutionHost.h"
#include "execution/PlaybackThread.h"
#include "link/LinkError.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "program/ProgramFile.h"

namespace {

const QString kRoutineExecute = QStringLiteral("0101");
const QString kRoutinePause = QStringLiteral("0102");
const QString kRoutineStop = QStringLiteral("0103");
const QString kRoutineUpdate = QStringLiteral("0105");

} // namespace

ExecutionController::ExecutionController(QObject *parent)
    : QObject(parent)
{
}

ExecutionController::~ExecutionController()
{
    AbortRun();
}

void ExecutionController::AbortRun()
{
    if (!m_run)
        return;
    m_run->AbortRun();
    m_run->wait();
    disconnect(m_run.get(), nullptr, this, nullptr);
    m_run.reset();
    m_ownedSink.reset();
    m_startPending = false;
}

QStringList ExecutionController::SummaryTexts() const
{
    return {QString::number(m_summary.instructionCount), QString::number(m_summary.movCount),
            QString::number(m_summary.pauseCount), QString::number(m_summary.pauseTime) + QStringLiteral(" ms"),
            QString::number(m_summary.scriptCount)};
}

void ExecutionController::UpdateTempFile()
{
    QString text;
    for (const QString &item : std::as_const(m_items))
        text += item + QStringLiteral("\r\n");
    WriteWholeFile(App().TempFilePath, text);
}

void ExecutionController::Update()
{
    try {
        if (!FileExistsOnDisk(App().TempFilePath)) {
            ShowUserMessage(QStringLiteral("Falied to find temporary file."), MsgButtons::OkCancel, MsgIcon::Critical);
            if (m_host)
                m_host->ShowServoControllerView();
            return;
        }
        m_items = SplitFileLines(DecodeFileText(ReadWholeFileBytes(App().TempFilePath)));
        m_selected = -1;
        Summary summary;
        for (int i = 0; i < m_items.size();) {
            const QString lower = m_items.at(i).toLower();
            if (lower.startsWith(QLatin1String("mov "))) {
                ++summary.movCount;
            } else if (lower.startsWith(QLatin1String("pause "))) {
                ++summary.pauseCount;
                summary.pauseTime += ToLong(lower.mid(lower.indexOf(QLatin1Char(' ')) + 1));
            } else if (lower.startsWith(QLatin1String("script "))) {
                ++summary.scriptCount;
            } else if (!lower.startsWith(QLatin1String("wav "))) {
                ShowUserMessage(QStringLiteral("Line ") + QString::number(i + 1) +
                                    QStringLiteral(" has an unrecognized command and will be omitted."),
                                MsgButtons::OkCancel, MsgIcon::Critical);
                m_items.removeAt(i);
                UpdateTempFile();
                continue;
            }
            ++i;
        }
        if (!m_selectedInstructionIndex.isEmpty()) {
            const std::optional<qint32> index = WholeNumber32(m_selectedInstructionIndex);
            if (index && *index >= 0 && *index < m_items.size())
                m_selected = *index;
        }
        summary.instructionCount = m_items.size();
        m_summary = summary;
        // A run in progress plays the new listing from its next yield on.
        if (m_run)
            m_run->Mailbox().PostListing(m_items);
        Q_EMIT listChanged();
        Q_EMIT selectionChanged(m_selected);
        Q_EMIT summaryChanged();
    } catch (const AppError &e) {
        Q_EMIT listChanged();
        ErrorReport(kRoutineUpdate, e);
    }
}

void ExecutionController::SetItems(const QStringList &items)
{
    m_items = items;
    m_selected = -1;
    Q_EMIT listChanged();
    Q_EMIT selectionChanged(-1);
}

void ExecutionController::ListClicked(int line)
{
    setSelected(line);
    m_selectedInstructionIndex = QString::number(line);
}

void ExecutionController::SetSelectedLine(int line)
{
    setSelected(line);
}

void ExecutionController::setSelected(int line)
{
    if (line < -1 || line >= m_items.size())
        line = -1;
    if (line == m_selected)
        return;
    m_selected = line;
    Q_EMIT selectionChanged(line);
}

void ExecutionController::setControls(bool execute, bool pause, bool stop)
{
    m_executeEnabled = execute;
    m_pauseEnabled = pause;
    m_stopEnabled = stop;
    Q_EMIT controlsChanged();
}

void ExecutionController::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    Q_EMIT progressChanged(percent);
}

void ExecutionController::Execute()
{
    try {
        if (m_items.isEmpty())
            return;
        const ProgramProperties &props = App().Properties;
        if (props.InterInstructionDelay == QLatin1String("Smart") && props.SmartDelay == QLatin1String("(None)")) {
            ShowUserMessage(
                QStringLiteral("Your current Smart rating is not set.  Please set this value before continuing."),
                MsgButtons::OkCancel, MsgIcon::Information);
            return;
        }
        if (!m_host)
            return;
        if (!m_host->PortOpen()) {
            const MsgAnswer answer =
                ShowUserMessage(QStringLiteral("You must be in Online mode.  Would you like to go online?"),
                                MsgButtons::YesNoCancel, MsgIcon::Critical);
            if (answer != MsgAnswer::Yes)
                return;
            try {
                m_host->GoOnline();
            } catch (const AppError &e) {
                if (e.number() != LinkError::kInvalidPort)
                    throw;
                ShowUserMessage(
                    QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(": ") +
                        QStringLiteral(" Comm Port ") + App().Properties.CommPort +
                        QStringLiteral(" is an invalid port.  Try changing to a different port and try again."),
                    MsgButtons::OkCancel, MsgIcon::Critical);
                return;
            }
        }
        if (m_pauseRequested) {
            // A resume: the paused run goes on by itself from its yield.
            m_pauseRequested = false;
            if (m_run)
                m_run->Mailbox().Post(RunMailbox::Kind::Resume);
            setControls(false, true, m_stopEnabled);
            return;
        }
        if (m_run) {
            // The stopped run has not reached its yield yet; this run follows it.
            m_startPending = true;
            setControls(false, true, true);
            return;
        }
        startRun();
    } catch (const AppError &e) {
        ErrorReport(kRoutineExecute, e);
    }
}

void ExecutionController::startRun()
{
    m_startPending = false;
    try {
        m_ownedSink = m_host ? m_host->CreateRunFrameSink() : nullptr;
    } catch (const AppError &e) {
        // Also reached from the end of a stopped run, where nothing else would catch it.
        ErrorReport(kRoutineExecute, e);
        setControls(true, false, false);
        return;
    }
    if (!m_ownedSink) {
        // The port closed between the check and the start.
        ErrorReport(kRoutineExecute, LinkError::kPortNotOpen,
                    QStringLiteral("Operation valid only when the port is open"));
        setControls(true, false, false);
        return;
    }
    RunRequest request;
    request.items = m_items;
    request.mode = m_mode;
    request.selectedLine = m_selected;
    request.center = m_host->CenterOnExecution() == QLatin1String("True");
    request.properties = App().Properties;
    request.positions = App().ServoPosition;
    request.scriptsFolder = DataPaths::ScriptsFolder();

    // Locked before the thread starts, so that nothing can start a second run
    // while the servos are being centred.
    m_host->SetInterfaceLocked(true);
    setControls(false, true, true);

    m_run = std::make_unique<PlaybackThread>(m_ownedSink.get(), m_clock ? m_clock : &Services::clock(), m_sound);
    connect(m_run.get(), &PlaybackThread::selected, this, &ExecutionController::setSelected);
    connect(m_run.get(), &PlaybackThread::progress, this, &ExecutionController::setProgress);
    connect(m_run.get(), &PlaybackThread::servoPositionSet, this,
            [](int servo, int position) { App().ServoPosition[servo] = qint16(position); });
    connect(m_run.get(), &QThread::finished, this, &ExecutionController::onRunFinished);
    m_run->StartRun(request);
}

void ExecutionController::onRunFinished()
{
    if (!m_run)
        return;
    const RunOutcome outcome = m_run->Outcome();
    m_run->wait();
    disconnect(m_run.get(), nullptr, this, nullptr);
    m_run.release()->deleteLater();
    m_ownedSink.reset();
    App().ServoPosition = outcome.positions;

    switch (outcome.end) {
    case RunOutcome::End::Completed:
        endOfRun();
        break;
    case RunOutcome::End::Stopped:
        stopHandling();
        break;
    case RunOutcome::End::StoppedThenEnded:
        stopHandling();
        endOfRun();
        break;
    case RunOutcome::End::Failed:
        // Reported by the run; the controls stay as they were until Stop,
        // unless the run failed before it had locked anything.
        if (!outcome.locked) {
            m_host->SetInterfaceLocked(false);
            setControls(true, false, false);
        }
        break;
    }
    if (m_startPending)
        startRun();
    Q_EMIT runEnded();
}

void ExecutionController::Pause()
{
    try {
        m_pauseRequested = true;
        if (m_run)
            m_run->Mailbox().Post(RunMailbox::Kind::Pause);
        setControls(true, false, m_stopEnabled);
    } catch (const AppError &e) {
        ErrorReport(kRoutinePause, e);
    }
}

void ExecutionController::Stop()
{
    try {
        m_startPending = false;
        stopHandling();
        if (m_run)
            m_run->Mailbox().Post(RunMailbox::Kind::Stop);
    } catch (const AppError &e) {
        ErrorReport(kRoutineStop, e);
    }
}

void ExecutionController::stopHandling()
{
    m_pauseRequested = false;
    setControls(true, false, false);
    if (m_host)
        m_host->SetInterfaceLocked(false);
    setProgress(0);
}

void ExecutionController::endOfRun()
{
    setControls(true, false, false);
    if (m_host)
        m_host->SetInterfaceLocked(false);
    setProgress(0);
    m_pauseRequested = false;
}

ExecutionController::EditItem ExecutionController::EditItemFor(const QString &line)
{
    if (line.startsWith(QLatin1String("Mov")))
        return EditItem::Mov;
    if (line.startsWith(QLatin1String("Pause")))
        return EditItem::Pause;
    if (line.startsWith(QLatin1String("Script")))
        return EditItem::Script;
    if (line.startsWith(QLatin1String("WAV ")))
        return EditItem::Wav;
    return EditItem::Unchanged;
}
