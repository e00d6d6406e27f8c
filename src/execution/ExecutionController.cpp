#include "execution/ExecutionController.h"

#include "app/DataPaths.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/PlaybackThread.h"
#include "link/IRunLink.h"
#include "link/LinkError.h"
#include "link/ServoFrame.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "program/ProgramListing.h"

namespace {

const QString kRoutineExecute = QStringLiteral("0101");

} // namespace

ExecutionController::ExecutionController(ProgramListing &listing, const ProgramPropertyStore &properties,
                                         ServoModel &servos, QObject *parent)
    : QObject(parent)
    , m_listing(listing)
    , m_properties(properties)
    , m_servos(servos)
{
    // A run in progress plays the new listing from its next yield on, its
    // scripts read here rather than on the run's timing path.
    connect(&m_listing, &ProgramListing::listChanged, this, [this] {
        if (m_run)
            m_run->Mailbox().PostListing(ResolvedProgram(m_listing.Items(), DataPaths::ScriptsFolder()));
    });
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
}

qint64 ExecutionController::RunElapsedNs() const
{
    return m_run ? m_runClock->nowNs() - m_runStartNs : 0;
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
    Reported(kRoutineExecute, [&] {
        // Running, or stopped and not yet ended: Execute is disabled.
        if (m_run && !m_pauseRequested)
            return;
        if (m_listing.Items().isEmpty())
            return;
        const ProgramProperties &props = m_properties.Properties();
        if (ExecutionEngine::SmartRatingMissing(props)) {
            ShowUserMessage(
                QStringLiteral("Your current Smart rating is not set.  Please set this value before continuing."),
                MsgButtons::OkCancel, MsgIcon::Information);
            return;
        }
        if (!m_link)
            return;
        if (!m_link->PortOpen()) {
            const MsgAnswer answer =
                ShowUserMessage(QStringLiteral("You must be in Online mode.  Would you like to go online?"),
                                MsgButtons::YesNoCancel, MsgIcon::Critical);
            if (answer != MsgAnswer::Yes)
                return;
            try {
                m_link->GoOnline();
            } catch (const AppError &e) {
                if (e.number() != LinkError::kInvalidPort)
                    throw;
                ShowUserMessage(
                    QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(": ") +
                        QStringLiteral(" Comm Port ") + m_properties.Properties().CommPort +
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
        startRun();
    });
}

void ExecutionController::startRun()
{
    m_ownedSink = m_link ? m_link->CreateRunFrameSink() : nullptr;
    if (!m_ownedSink) {
        // The port closed between the check and the start.
        ErrorReport(kRoutineExecute, LinkError::kPortNotOpen,
                    QStringLiteral("Operation valid only when the port is open"));
        return;
    }
    RunRequest request;
    request.program = ResolvedProgram(m_listing.Items(), DataPaths::ScriptsFolder());
    request.mode = m_mode;
    request.selectedLine = m_listing.SelectedLine();
    request.center = m_link->CenterOnExecution() == QLatin1String("True");
    request.properties = m_properties.Properties();
    request.positions = m_servos.Positions();

    // Locked before the thread starts, so that nothing can start a second run
    // while the servos are being centred.
    Q_EMIT interfaceLocked(true);
    setControls(false, true, true);

    m_runClock = m_clock ? m_clock : &Services::clock();
    m_runStartNs = m_runClock->nowNs();
    m_run = std::make_unique<PlaybackThread>(m_ownedSink.get(), m_runClock, m_sound);
    connect(m_run.get(), &PlaybackThread::selected, &m_listing, &ProgramListing::SetSelectedLine);
    connect(m_run.get(), &PlaybackThread::lineStarted, this,
            [this](int line, qint64 atNs) { Q_EMIT lineStarted(line, atNs - m_runStartNs); });
    connect(m_run.get(), &PlaybackThread::progress, this, &ExecutionController::setProgress);
    connect(m_run.get(), &PlaybackThread::servoPositionSet, this,
            [this](int servo, int position) { m_servos.SetPosition(servo, qint16(position)); });
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
            Q_EMIT interfaceLocked(false);
            setControls(true, false, false);
        }
        break;
    }
    Q_EMIT runEnded();
}

void ExecutionController::Pause()
{
    m_pauseRequested = true;
    if (m_run)
        m_run->Mailbox().Post(RunMailbox::Kind::Pause);
    setControls(true, false, m_stopEnabled);
}

void ExecutionController::Stop()
{
    if (!m_run) {
        stopHandling();
        return;
    }
    // The run cuts its wait and ends before its next line, inside a script
    // too; the controls come back when it has really ended.
    m_pauseRequested = false;
    setControls(false, false, false);
    m_run->Mailbox().Post(RunMailbox::Kind::Stop);
}

void ExecutionController::stopHandling()
{
    m_pauseRequested = false;
    setControls(true, false, false);
    Q_EMIT interfaceLocked(false);
    setProgress(0);
}

void ExecutionController::endOfRun()
{
    setControls(true, false, false);
    Q_EMIT interfaceLocked(false);
    setProgress(0);
    m_pauseRequested = false;
}
