#include "program/ProgramRecovery.h"

#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "program/ProgramCommands.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int kPropertyCount = int(PropertyField::BaudRate) + 1;

QString stateFile(const QString &tempFilePath)
{
    return tempFilePath + QStringLiteral(".state");
}

// The file: {"file": path, "properties": the eight texts in the order of a
// program file's header}. A file that does not read so counts as none.
void readState(const QByteArray &bytes, ProgramRecovery::Program &program)
{
    const QJsonObject state = QJsonDocument::fromJson(bytes).object();
    const QJsonArray values = state.value(QLatin1String("properties")).toArray();
    if (values.size() == kPropertyCount) {
        for (int i = 0; i < kPropertyCount; ++i)
            program.properties.*MemberOf(PropertyField(i)) = values.at(i).toString();
    }
    program.path = state.value(QLatin1String("file")).toString();
}

// The program left under this temporary file's name, when there is one worth offering.
std::optional<ProgramRecovery::Program> leftover(const QString &tempFilePath)
{
    ProgramRecovery::Program program;
    try {
        if (FileExistsOnDisk(tempFilePath))
            program.lines = SplitFileLines(DecodeFileText(ReadWholeFileBytes(tempFilePath)));
        if (FileExistsOnDisk(stateFile(tempFilePath)))
            readState(ReadWholeFileBytes(stateFile(tempFilePath)), program);
    } catch (const AppError &) {
        // What cannot be read cannot be offered; emptying the file reports it.
        return std::nullopt;
    }
    if (program.lines.isEmpty() && program.properties == ProgramProperties{})
        return std::nullopt;
    return program;
}

} // namespace

ProgramRecovery::ProgramRecovery(ProgramListing &listing, ProgramCommands &commands, ProgramPropertyStore &properties,
                                 QObject *parent)
    : QObject(parent)
    , m_listing(listing)
    , m_commands(commands)
    , m_properties(properties)
{
    connect(&m_properties, &ProgramPropertyStore::changed, this, &ProgramRecovery::write);
    connect(&m_commands, &ProgramCommands::currentProgramPathChanged, this, &ProgramRecovery::write);
}

QString ProgramRecovery::statePath() const
{
    return stateFile(m_listing.TempFilePath());
}

std::optional<ProgramRecovery::Program> ProgramRecovery::TakeTempFile(bool ask)
{
    if (ask)
        m_listing.LockTempFile();
    else
        m_listing.LockTempFile([](const QString &path) { return !leftover(path); });
    const std::optional<Program> program = ask ? leftover(m_listing.TempFilePath()) : std::nullopt;
    if (program) {
        m_waiting = true;
        const qsizetype count = program->lines.size();
        const MsgAnswer answer =
            ShowUserMessage(QStringLiteral("Taveloq did not close properly. Recover the unsaved program (%1 %2)?")
                                .arg(count)
                                .arg(count == 1 ? QStringLiteral("line") : QStringLiteral("lines")),
                            MsgButtons::YesNo, MsgIcon::Question);
        if (m_shutDown)
            return std::nullopt; // ended while it asked: all stays for the next start
        if (answer == MsgAnswer::Yes)
            return program;
        m_waiting = false;
    }
    QFile::remove(statePath());
    m_listing.CreateTempFile();
    m_keeping = true;
    return std::nullopt;
}

void ProgramRecovery::Restore(const Program &program)
{
    if (m_shutDown)
        return;
    m_commands.Recover(program.lines, program.properties, program.path);
    m_waiting = false;
    m_keeping = true;
    write();
}

void ProgramRecovery::RemoveTempFile()
{
    m_shutDown = true;
    if (m_waiting)
        return; // the lock goes with the process, and the program waits for the next start
    QFile::remove(statePath());
    m_listing.RemoveTempFile();
}

void ProgramRecovery::write()
{
    if (!m_keeping || m_shutDown)
        return;
    QJsonArray values;
    for (int i = 0; i < kPropertyCount; ++i)
        values.append(m_properties.Value(PropertyField(i)));
    const QByteArray bytes = QJsonDocument(QJsonObject{{QLatin1String("file"), m_commands.CurrentProgramPath()},
                                                       {QLatin1String("properties"), values}})
                                 .toJson(QJsonDocument::Compact);
    // The store tells of every apply, also of the same values.
    if (bytes == m_written)
        return;
    Reported(QStringLiteral("0141"), [&] {
        WriteWholeFileBytes(statePath(), bytes);
        m_written = bytes;
    });
}
