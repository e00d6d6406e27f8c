#include "program/ProgramListing.h"

#include "app/FileHelpers.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "program/ProgramFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace {

const QString kRoutineUpdate = QStringLiteral("0105");

// The file form of lines: each ended by CR LF.
QString fileText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace

ProgramListing::ProgramListing(const QString &tempFilePath, QObject *parent)
    : QObject(parent)
    , m_tempFilePath(tempFilePath)
{
}

ProgramListing::~ProgramListing() = default;

void ProgramListing::CreateTempFile()
{
    const QDir folder = QFileInfo(m_tempFilePath).absoluteDir();
    for (int n = 1; n <= 9999 && !m_lock; ++n) {
        const QString path =
            n == 1 ? m_tempFilePath : folder.filePath(QStringLiteral("tq%1.tmp").arg(n, 4, 10, QLatin1Char('0')));
        auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        // Only a lock whose process is gone counts as stale, never an old one.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_tempFilePath = path;
            m_lock = std::move(lock);
        } else if (lock->error() != QLockFile::LockFailedError) {
            break; // the folder cannot hold a lock: use the first name as before
        }
    }
    WriteWholeFile(m_tempFilePath, QString());
}

void ProgramListing::RemoveTempFile()
{
    if (FileExistsOnDisk(m_tempFilePath))
        QFile::remove(m_tempFilePath);
    if (m_lock)
        m_lock->unlock();
}

QStringList ProgramListing::SummaryTexts() const
{
    return {QString::number(m_summary.instructionCount), QString::number(m_summary.movCount),
            QString::number(m_summary.pauseCount), QString::number(m_summary.pauseTime) + QStringLiteral(" ms"),
            QString::number(m_summary.scriptCount)};
}

void ProgramListing::UpdateTempFile()
{
    WriteWholeFile(m_tempFilePath, fileText(m_items));
}

void ProgramListing::Append(const QString &line)
{
    // Read and write must both succeed: a read failure must never lead to the
    // listing being replaced by the one new line.
    QByteArray text = ReadWholeFileBytes(m_tempFilePath);
    text += EncodeFileText(fileText({line}));
    WriteWholeFileBytes(m_tempFilePath, text);
}

void ProgramListing::ReplaceTempFile(const QStringList &lines)
{
    WriteWholeFileBytes(m_tempFilePath, EncodeFileText(fileText(lines)));
}

QStringList ProgramListing::FileLines() const
{
    return SplitFileLines(DecodeFileText(ReadWholeFileBytes(m_tempFilePath)));
}

void ProgramListing::Update()
{
    try {
        if (!FileExistsOnDisk(m_tempFilePath)) {
            ShowUserMessage(QStringLiteral("Falied to find temporary file."), MsgButtons::OkCancel, MsgIcon::Critical);
            Q_EMIT tempFileMissing();
            return;
        }
        m_items = FileLines();
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
        Q_EMIT listChanged();
        Q_EMIT selectionChanged(m_selected);
        Q_EMIT summaryChanged();
    } catch (const AppError &e) {
        Q_EMIT listChanged();
        ErrorReport(kRoutineUpdate, e);
    }
}

void ProgramListing::SetItems(const QStringList &items)
{
    m_items = items;
    m_selected = -1;
    Q_EMIT listChanged();
    Q_EMIT selectionChanged(-1);
}

void ProgramListing::ListClicked(int line)
{
    SetSelectedLine(line);
    m_selectedInstructionIndex = QString::number(line);
}

void ProgramListing::SetSelectedLine(int line)
{
    if (line < -1 || line >= m_items.size())
        line = -1;
    if (line == m_selected)
        return;
    m_selected = line;
    Q_EMIT selectionChanged(line);
}
