#include "servos/TakeRecorder.h"

#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "execution/ExecutionController.h"
#include "execution/ProgramTrace.h"
#include "library/ScriptLibrary.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/cRegistry.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"
#include "record/TakeLines.h"

namespace {

const QString kSection = QStringLiteral("Recording");
const QString kOverdubValue = QStringLiteral("Record Over Program");
const QString kToleranceValue = QStringLiteral("Tolerance");
const QString kStep = QStringLiteral("Record Take");

QVariant stored(const QString &name, cRegistry::Type type)
{
    cRegistry reg = cRegistry::AppKey(name, type, kSection);
    return reg.Value();
}

void store(const QString &name, cRegistry::Type type, const QVariant &value)
{
    Reported(QStringLiteral("RecordSettings"), [&] { cRegistry::AppKey(name, type, kSection).SetValue(value); });
}

void refuse(const QString &why)
{
    ShowUserMessage(why, MsgButtons::OkCancel, MsgIcon::Information);
}

} // namespace

TakeRecorder::TakeRecorder(ProgramListing &listing, const ProgramPropertyStore &properties, const ServoModel &servos,
                           ExecutionController &execution, QObject *parent)
    : QObject(parent)
    , m_listing(listing)
    , m_properties(properties)
    , m_servos(servos)
    , m_execution(execution)
{
    m_overdub =
        stored(kOverdubValue, cRegistry::Text).toString().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    bool ok = false;
    const int tolerance = stored(kToleranceValue, cRegistry::Number).toInt(&ok);
    if (ok && tolerance >= 0 && tolerance <= kMaxTolerance)
        m_tolerance = tolerance;
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, [this] { Q_EMIT elapsedChanged(ElapsedMs()); });
    connect(&m_execution, &ExecutionController::interfaceLocked, this, [this](bool locked) {
        m_runPlaying = locked;
        Q_EMIT stateChanged();
    });
    connect(&m_execution, &ExecutionController::lineStarted, this, [this](int line, qint64 runNs) {
        if (Overdubbing())
            m_reached.append({line, (runNs + 500'000) / 1'000'000});
    });
    connect(&m_execution, &ExecutionController::runEnded, this, [this] {
        if (!Overdubbing())
            return;
        m_runEndMs = takeMs();
        Q_EMIT stateChanged();
    });
}

qint64 TakeRecorder::ElapsedMs() const
{
    return m_recording ? qMax<qint64>(0, (Services::clock().nowNs() - m_startNs) / 1'000'000) : 0;
}

qint64 TakeRecorder::takeMs(std::optional<qint64> atNs) const
{
    return qMax<qint64>(0, (atNs.value_or(Services::clock().nowNs()) - m_startNs + 500'000) / 1'000'000);
}

void TakeRecorder::SetOverdub(bool overdub)
{
    if (overdub == m_overdub)
        return;
    m_overdub = overdub;
    store(kOverdubValue, cRegistry::Text, overdub ? QStringLiteral("True") : QStringLiteral("False"));
}

void TakeRecorder::SetTolerance(int tolerance)
{
    tolerance = qBound(0, tolerance, kMaxTolerance);
    if (tolerance == m_tolerance)
        return;
    m_tolerance = tolerance;
    store(kToleranceValue, cRegistry::Number, qint32(tolerance));
}

void TakeRecorder::Toggle()
{
    if (m_recording)
        Stop();
    else
        Start();
}

void TakeRecorder::Start()
{
    if (!Available() || m_recording)
        return;
    // Refused now rather than after the performance: the take could not be placed.
    const QString refusal = TakeLines::OfTake(Take(), m_properties.Properties()).refusal;
    if (!refusal.isEmpty())
        return refuse(refusal);

    m_take = Take();
    m_lastPosition.fill(-1);
    m_runStarted = false;
    m_reached.clear();
    m_runEndMs.reset();
    m_startNs = Services::clock().nowNs();
    if (m_overdub && !m_listing.Items().isEmpty()) {
        // The program plays as Execute once does, on the board, with its sounds and the playhead.
        const ExecutionMode mode = m_execution.Mode();
        m_execution.SetMode(ExecutionMode::Once);
        m_execution.Execute();
        m_execution.SetMode(mode);
        // Not started: the user kept it Offline, or the run was refused with its own message.
        if (!m_execution.StopEnabled())
            return;
        m_runStarted = true;
        // Timed from the run's own start, as the lines it reaches are.
        m_startNs = Services::clock().nowNs() - m_execution.RunElapsedNs();
    }
    setRecording(true);
}

void TakeRecorder::Capture(int servo, int position, std::optional<qint64> atNs)
{
    if (!m_recording || servo < 0 || servo >= int(m_lastPosition.size()) || !m_servos.Enabled(servo) ||
        m_lastPosition[servo] == position)
        return;
    if (m_take.Append(takeMs(atNs), servo, position))
        m_lastPosition[servo] = position;
}

void TakeRecorder::Discard()
{
    if (!m_recording)
        return;
    setRecording(false);
    if (m_runStarted && !m_runEndMs && m_execution.StopEnabled())
        m_execution.Stop();
    m_take = Take();
}

void TakeRecorder::Stop()
{
    if (!m_recording)
        return;
    m_take.SetLength(takeMs());
    setRecording(false);
    const bool overdub = m_runStarted;
    if (overdub && !m_runEndMs && m_execution.StopEnabled())
        m_execution.Stop();
    const ProgramProperties properties = m_properties.Properties();
    const QStringList items = m_listing.Items();
    ProgramTrace trace;
    Take take = std::exchange(m_take, Take());
    if (overdub) {
        trace = ProgramTrace::Run(ProgramTrace::OnceRequest(items, properties, DataPaths::ScriptsFolder()));
        take = OnProgramTime(take, m_reached, trace, m_runEndMs);
    }
    take = take.Thinned(m_tolerance);
    if (take.IsEmpty())
        return;
    const TakeLines alone = TakeLines::OfTake(take, properties);
    if (!alone.refusal.isEmpty())
        return refuse(alone.refusal);
    // Kept before it goes in: a take that cannot be merged can still be saved as a script.
    m_lastLines = alone.lines;
    m_lastOverdub = overdub;
    setLast(take);
    Reported(QStringLiteral("Record Take"), [&] {
        if (!overdub) {
            m_listing.InsertLines(m_listing.rowCount(), alone.lines, kStep);
            return;
        }
        const TakeLines merged = TakeLines::OverTrace(take, items, trace, properties);
        if (!merged.refusal.isEmpty())
            return refuse(merged.refusal);
        m_listing.ReplaceLines(0, int(items.size()), merged.lines, kStep);
    });
}

bool TakeRecorder::SaveTakeAsScript(const QString &folder, const QString &name)
{
    if (!m_last)
        return false;
    const bool written = ScriptLibrary::SaveScript(folder, name, [this](const QString &path) {
        return Reported(QStringLiteral("0055"), [&] {
            WriteWholeFileBytes(path, EncodeFileText(ProgramFileText(m_properties.Properties(), m_lastLines, true)));
        });
    });
    if (!written || m_lastOverdub)
        return written;
    Reported(QStringLiteral("Save Take As Script"), [&] {
        const QString line = QStringLiteral("Script ") + name;
        const QStringList &items = m_listing.Items();
        const qsizetype count = m_lastLines.size();
        // The take's lines, the latest copy in the listing, give way to the script that holds them.
        for (qsizetype row = items.size() - count; row >= 0; --row) {
            if (items.mid(row, count) == m_lastLines) {
                m_listing.ReplaceLines(int(row), int(count), {line}, QStringLiteral("Save Take As Script"));
                return;
            }
        }
        m_listing.AppendLine(line, QStringLiteral("Save Take As Script"));
    });
    return true;
}

void TakeRecorder::setRecording(bool recording)
{
    m_recording = recording;
    if (recording)
        m_tick.start();
    else
        m_tick.stop();
    Q_EMIT stateChanged();
    Q_EMIT elapsedChanged(ElapsedMs());
}

void TakeRecorder::setLast(std::optional<Take> take)
{
    m_last = std::move(take);
    Q_EMIT stateChanged();
}
