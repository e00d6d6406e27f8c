#include "program/ProgramListing.h"

#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeData>

#include <algorithm>

namespace {

const QString kRoutineUpdate = QStringLiteral("0105");
const QString kRoutineUpdateTempFile = QStringLiteral("0109");
const QString kRoutineDrop = QStringLiteral("List1_OLEDragDrop");
// A drag's own rows: "<pid>:<listing> <row> <row> ...", so that only this
// listing takes them as a move; any other reader gets the text.
const QString kLinesMimeType = QStringLiteral("application/x-taveloq-lines");

// The file form of lines: each ended by CR LF.
QByteArray fileBytes(const QStringList &lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString &line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return EncodeFileText(text);
}

// `items` without the lines at `removed`, then with `lines` standing at
// `inserted` (rows of the result); both in ascending order. One pass, so a
// change of many lines costs no more than one of a few.
QStringList spliced(const QStringList &items, const QList<int> &removed, const QList<int> &inserted,
                    const QStringList &lines)
{
    QStringList kept;
    kept.reserve(items.size() - removed.size());
    qsizetype r = 0;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (r < removed.size() && removed.at(r) == i)
            ++r;
        else
            kept.append(items.at(i));
    }
    if (r != removed.size())
        throw AppError::subscriptOutOfRange();
    QStringList result;
    result.reserve(kept.size() + lines.size());
    qsizetype k = 0;
    for (qsizetype j = 0; j < inserted.size(); ++j) {
        while (result.size() < inserted.at(j) && k < kept.size())
            result.append(kept.at(k++));
        if (result.size() != inserted.at(j))
            throw AppError::subscriptOutOfRange();
        result.append(lines.at(j));
    }
    while (k < kept.size())
        result.append(kept.at(k++));
    return result;
}

bool contiguous(const QList<int> &rows)
{
    return !rows.isEmpty() && rows.last() - rows.first() == rows.size() - 1;
}

QList<int> sortedUnique(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

ProgramListing::ProgramListing(const QString &tempFilePath, QObject *parent)
    : QAbstractListModel(parent)
    , m_tempFilePath(tempFilePath)
{
    m_selection.setModel(this);
    connect(&m_selection, &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { Q_EMIT selectionChanged(current.isValid() ? current.row() : -1); });
}

ProgramListing::~ProgramListing() = default;

int ProgramListing::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ProgramListing::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_items.at(index.row());
}

Qt::ItemFlags ProgramListing::flags(const QModelIndex &index) const
{
    // Drops land between lines, never on one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

Qt::DropActions ProgramListing::supportedDropActions() const
{
    return Qt::MoveAction | Qt::CopyAction;
}

QStringList ProgramListing::mimeTypes() const
{
    return {kLinesMimeType, QStringLiteral("text/plain")};
}

QMimeData *ProgramListing::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.row() < m_items.size())
            rows << index.row();
    }
    rows = sortedUnique(rows);
    if (rows.isEmpty())
        return nullptr;
    QStringList lines;
    QByteArray own = dragToken();
    for (const int row : std::as_const(rows)) {
        lines << m_items.at(row);
        own += ' ' + QByteArray::number(row);
    }
    auto *data = new QMimeData;
    data->setText(ClipboardText(lines));
    data->setData(kLinesMimeType, own);
    return data;
}

QByteArray ProgramListing::dragToken() const
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' + QByteArray::number(quintptr(this));
}

std::optional<QList<int>> ProgramListing::draggedRows(const QMimeData &data) const
{
    const QList<QByteArray> fields = data.data(kLinesMimeType).split(' ');
    QList<int> rows;
    QStringList lines;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        bool ok = false;
        const int row = fields.at(i).toInt(&ok);
        if (!ok || row < 0 || row >= m_items.size())
            return std::nullopt;
        rows << row;
        lines << m_items.at(row);
    }
    // Lines changed since the drag began are not moved blindly.
    if (rows.isEmpty() || lines != SplitFileLines(data.text()))
        return std::nullopt;
    return rows;
}

bool ProgramListing::canDropMimeData(const QMimeData *data, Qt::DropAction action, int, int, const QModelIndex &) const
{
    // A file manager's drag carries the files' names as text too; they are not lines.
    return data && action != Qt::IgnoreAction && !data->hasUrls() && data->hasText();
}

bool ProgramListing::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                  const QModelIndex &parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const int last = int(m_items.size());
    const int before = parent.isValid() ? parent.row() : row < 0 || row > last ? last : row;
    if (data->data(kLinesMimeType).split(' ').first() == dragToken()) {
        // Its own lines move whatever the action: a drag never copies them.
        const std::optional<QList<int>> rows = draggedRows(*data);
        return rows && Reported(kRoutineDrop, [&] { MoveLinesTo(*rows, before, QStringLiteral("Move")); });
    }
    return InsertText(before, data->text(), QStringLiteral("Drop"), kRoutineDrop);
}

bool ProgramListing::InsertText(int row, const QString &text, const QString &what, const QString &routine)
{
    const PastedLines pasted = ParsePastedText(text);
    if (!pasted.refusal.isEmpty()) {
        ShowUserMessage(pasted.refusal, MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    return !pasted.lines.isEmpty() && Reported(routine, [&] { InsertLines(row, pasted.lines, what); });
}

void ProgramListing::LockTempFile(const std::function<bool(const QString &)> &usable)
{
    const QDir folder = QFileInfo(m_tempFilePath).absoluteDir();
    for (int n = 1; n <= 9999 && !m_lock; ++n) {
        const QString path =
            n == 1 ? m_tempFilePath : folder.filePath(QStringLiteral("tq%1.tmp").arg(n, 4, 10, QLatin1Char('0')));
        auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
        // Only a lock whose process is gone counts as stale, never an old one.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            if (usable && !usable(path))
                continue; // the lock goes with it
            m_tempFilePath = path;
            m_lock = std::move(lock);
        } else if (lock->error() != QLockFile::LockFailedError) {
            break; // the folder cannot hold a lock: use the first name as before
        }
    }
}

void ProgramListing::CreateTempFile()
{
    if (!m_lock)
        LockTempFile();
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

QStringList ProgramListing::FileLines() const
{
    return SplitFileLines(DecodeFileText(ReadWholeFileBytes(m_tempFilePath)));
}

void ProgramListing::countLines(const QStringList &lines, int sign)
{
    for (const QString &line : lines) {
        const Instruction instruction = ParseInstruction(line);
        switch (instruction.kind) {
        case InstructionKind::Mov:
            m_summary.movCount += sign;
            break;
        case InstructionKind::Pause:
            m_summary.pauseCount += sign;
            // A pause the run would refuse counts no time here: the summary never fails a change.
            m_summary.pauseTime += sign * qint64(WholeNumber32(instruction.milliseconds).value_or(0));
            break;
        case InstructionKind::Script:
            m_summary.scriptCount += sign;
            break;
        case InstructionKind::Wav:
        case InstructionKind::None:
            break;
        }
    }
    m_summary.instructionCount = int(m_items.size());
}

void ProgramListing::refreshSummary()
{
    m_summary = Summary{};
    countLines(m_items, 1);
    Q_EMIT summaryChanged();
}

void ProgramListing::setLines(QStringList lines)
{
    beginResetModel();
    m_items = std::move(lines);
    endResetModel();
}

void ProgramListing::Update()
{
    try {
        if (!FileExistsOnDisk(m_tempFilePath)) {
            ShowUserMessage(QStringLiteral("Falied to find temporary file."), MsgButtons::OkCancel, MsgIcon::Critical);
            Q_EMIT tempFileMissing();
            return;
        }
        QStringList lines = FileLines();
        for (int i = 0; i < lines.size();) {
            if (ParseInstruction(lines.at(i)).kind == InstructionKind::None) {
                ShowUserMessage(QStringLiteral("Line ") + QString::number(i + 1) +
                                    QStringLiteral(" has an unrecognized command and will be omitted."),
                                MsgButtons::OkCancel, MsgIcon::Critical);
                lines.removeAt(i);
                WriteWholeFileBytes(m_tempFilePath, fileBytes(lines));
                continue;
            }
            ++i;
        }
        const bool reloaded = lines != m_items;
        if (reloaded) {
            // The file was changed behind the model: its steps no longer fit.
            setLines(lines);
            m_steps.clear();
            m_index = 0;
            m_cleanIndex = -1;
            Q_EMIT historyChanged();
        }
        int selected = -1;
        if (!m_selectedInstructionIndex.isEmpty()) {
            const std::optional<qint32> index = WholeNumber32(m_selectedInstructionIndex);
            if (index && *index >= 0 && *index < m_items.size())
                selected = *index;
        }
        // A selection of several lines survives a reload that changed nothing.
        if (reloaded || selected < 0 || selected != SelectedLine()) {
            m_selection.clear();
            SetSelectedLine(selected);
        }
        Q_EMIT listChanged();
        refreshSummary();
    } catch (const AppError &e) {
        Q_EMIT listChanged();
        ErrorReport(kRoutineUpdate, e);
    }
}

void ProgramListing::Reset(const QStringList &lines)
{
    WriteWholeFileBytes(m_tempFilePath, fileBytes(lines));
    setLines(lines);
    m_steps.clear();
    m_index = 0;
    m_cleanIndex = 0;
    Q_EMIT listChanged();
    Q_EMIT selectionChanged(-1);
    refreshSummary();
    Q_EMIT historyChanged();
}

void ProgramListing::apply(const Step &step, bool undo)
{
    const QList<int> &removed = undo ? step.insertedRows : step.removedRows;
    const QList<int> &inserted = undo ? step.removedRows : step.insertedRows;
    const QStringList &lines = undo ? step.removedLines : step.insertedLines;
    if (!removed.isEmpty() || !inserted.isEmpty()) {
        QStringList result = spliced(m_items, removed, inserted, lines);
        WriteWholeFileBytes(m_tempFilePath, fileBytes(result));
        // The narrowest notice that fits keeps the views' scroll positions.
        if (removed.isEmpty() && contiguous(inserted)) {
            beginInsertRows({}, inserted.first(), inserted.last());
            m_items = std::move(result);
            endInsertRows();
        } else if (inserted.isEmpty() && contiguous(removed)) {
            beginRemoveRows({}, removed.first(), removed.last());
            m_items = std::move(result);
            endRemoveRows();
        } else if (removed.size() == 1 && removed == inserted) {
            m_items = std::move(result);
            Q_EMIT dataChanged(index(removed.first()), index(removed.first()));
        } else if (step.removedLines == step.insertedLines && contiguous(removed) && contiguous(inserted) &&
                   removed.first() != inserted.first()) {
            const int destination =
                inserted.first() < removed.first() ? inserted.first() : inserted.first() + int(removed.size());
            beginMoveRows({}, removed.first(), removed.last(), {}, destination);
            m_items = std::move(result);
            endMoveRows();
        } else {
            setLines(std::move(result));
        }
        selectRows(inserted.isEmpty() ? QList<int>{std::min(removed.first(), int(m_items.size()) - 1)} : inserted);
        Q_EMIT listChanged();
        // Counted from the lines the step changes, so a step costs what it changes.
        countLines(undo ? step.insertedLines : step.removedLines, -1);
        countLines(lines, 1);
        Q_EMIT summaryChanged();
    }
    if (step.store)
        step.store->SetProperties(undo ? step.before : step.after);
}

void ProgramListing::selectRows(const QList<int> &rows)
{
    QItemSelection selection;
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype j = i;
        while (j + 1 < rows.size() && rows.at(j + 1) == rows.at(j) + 1)
            ++j;
        if (rows.at(i) >= 0 && rows.at(j) < m_items.size())
            selection.select(index(rows.at(i)), index(rows.at(j)));
        i = j + 1;
    }
    const int current = rows.isEmpty() ? -1 : rows.first();
    if (current < 0 || current >= m_items.size()) {
        m_selection.clear();
        return;
    }
    m_selection.setCurrentIndex(index(current), QItemSelectionModel::NoUpdate);
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
}

void ProgramListing::push(Step step)
{
    apply(step, false);
    m_steps.erase(m_steps.begin() + m_index, m_steps.end());
    if (m_cleanIndex > m_index)
        m_cleanIndex = -1; // the saved state was undone and is now out of reach
    m_steps.push_back(std::move(step));
    ++m_index;
    Q_EMIT historyChanged();
}

void ProgramListing::InsertLines(int row, const QStringList &lines, const QString &what)
{
    if (row < 0 || row > m_items.size())
        throw AppError::invalidArgument();
    if (lines.isEmpty())
        return;
    Step step(what);
    step.insertedLines = lines;
    step.insertedRows.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        step.insertedRows.append(row + i);
    push(std::move(step));
}

void ProgramListing::AppendLine(const QString &line, const QString &what)
{
    InsertLines(int(m_items.size()), {line}, what);
}

void ProgramListing::ReplaceLine(int row, const QString &line, const QString &what)
{
    if (row < 0 || row >= m_items.size())
        throw AppError::invalidArgument();
    push(Step(what, {row}, {m_items.at(row)}, {row}, {line}));
}

void ProgramListing::RemoveLines(const QList<int> &rows, const QString &what)
{
    Step step(what, sortedUnique(rows));
    if (step.removedRows.isEmpty())
        return;
    if (step.removedRows.first() < 0 || step.removedRows.last() >= m_items.size())
        throw AppError::invalidArgument();
    for (const int row : std::as_const(step.removedRows))
        step.removedLines.append(m_items.at(row));
    push(std::move(step));
}

void ProgramListing::ReplaceLines(int row, int count, const QStringList &lines, const QString &what)
{
    if (row < 0 || count < 0 || count > m_items.size() - row)
        throw AppError::invalidArgument();
    qsizetype same = 0;
    while (same < count && same < lines.size() && m_items.at(row + same) == lines.at(same))
        ++same;
    qsizetype sameEnd = 0;
    while (sameEnd < count - same && sameEnd < lines.size() - same &&
           m_items.at(row + count - 1 - sameEnd) == lines.at(lines.size() - 1 - sameEnd))
        ++sameEnd;
    Step step(what);
    for (qsizetype i = row + same; i < row + count - sameEnd; ++i) {
        step.removedRows.append(int(i));
        step.removedLines.append(m_items.at(i));
    }
    for (qsizetype i = same; i < lines.size() - sameEnd; ++i) {
        step.insertedRows.append(int(row + i));
        step.insertedLines.append(lines.at(i));
    }
    if (step.removedRows.isEmpty() && step.insertedRows.isEmpty())
        return;
    push(std::move(step));
}

void ProgramListing::MoveLinesBy(const QList<int> &rows, int delta, const QString &what)
{
    Step step(what, sortedUnique(rows));
    if (step.removedRows.isEmpty() || step.removedRows.first() + delta < 0 ||
        step.removedRows.last() + delta >= m_items.size() || delta == 0)
        return;
    for (const int row : std::as_const(step.removedRows)) {
        step.removedLines.append(m_items.at(row));
        step.insertedRows.append(row + delta);
    }
    step.insertedLines = step.removedLines;
    push(std::move(step));
}

void ProgramListing::MoveLinesTo(const QList<int> &rows, int before, const QString &what)
{
    Step step(what, sortedUnique(rows));
    if (step.removedRows.isEmpty() || step.removedRows.first() < 0 || step.removedRows.last() >= m_items.size() ||
        before < 0 || before > m_items.size())
        return;
    const int first = before - int(std::count_if(step.removedRows.cbegin(), step.removedRows.cend(),
                                                 [before](int row) { return row < before; }));
    for (int i = 0; i < step.removedRows.size(); ++i) {
        step.removedLines.append(m_items.at(step.removedRows.at(i)));
        step.insertedRows.append(first + i);
    }
    if (step.insertedRows == step.removedRows)
        return; // dropped where it stands
    step.insertedLines = step.removedLines;
    push(std::move(step));
}

void ProgramListing::ChangeProperties(ProgramPropertyStore &store, const ProgramProperties &after, const QString &what)
{
    Step step(what);
    step.store = &store;
    step.before = store.Properties();
    step.after = after;
    push(std::move(step));
}

QString ProgramListing::UndoText() const
{
    return CanUndo() ? m_steps.at(m_index - 1).what : QString();
}

QString ProgramListing::RedoText() const
{
    return CanRedo() ? m_steps.at(m_index).what : QString();
}

void ProgramListing::Undo()
{
    if (!CanUndo())
        return;
    Reported(kRoutineUpdateTempFile, [&] {
        apply(m_steps.at(m_index - 1), true);
        --m_index;
        Q_EMIT historyChanged();
    });
}

void ProgramListing::Redo()
{
    if (!CanRedo())
        return;
    Reported(kRoutineUpdateTempFile, [&] {
        apply(m_steps.at(m_index), false);
        ++m_index;
        Q_EMIT historyChanged();
    });
}

void ProgramListing::SetClean()
{
    m_cleanIndex = m_index;
    Q_EMIT historyChanged();
}

void ProgramListing::SetUnsaved()
{
    m_cleanIndex = -1;
    Q_EMIT historyChanged();
}

QList<int> ProgramListing::SelectedRows() const
{
    QList<int> rows;
    const QModelIndexList selected = m_selection.selectedRows();
    rows.reserve(selected.size());
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.isEmpty() && SelectedLine() >= 0)
        rows.append(SelectedLine());
    return rows;
}

int ProgramListing::SelectedLine() const
{
    const QModelIndex current = m_selection.currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ProgramListing::ListClicked(int line)
{
    // A click in a view has made the line current already, and the view
    // chose the selection: Shift and Ctrl extend it or take a line out.
    if (line != SelectedLine())
        SetSelectedLine(line);
    m_selectedInstructionIndex = QString::number(line);
}

void ProgramListing::SetSelectedLine(int line)
{
    if (line < 0 || line >= m_items.size()) {
        m_selection.clear();
        return;
    }
    if (line == SelectedLine() && m_selection.isSelected(index(line)))
        return;
    m_selection.setCurrentIndex(index(line), QItemSelectionModel::ClearAndSelect);
}
