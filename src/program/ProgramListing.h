#pragma once

#include "app/ProgramProperties.h"

#include <QAbstractListModel>
#include <QItemSelectionModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ProgramPropertyStore;
class QLockFile;

/// The program being edited: its instruction lines as the one model every
/// view of the listing shows, their summary, the shared selection and the
/// history of changes (undo and redo). The only writer of the temporary
/// file, which mirrors the lines after every change: a change whose write
/// fails is not made, so the two never differ.
class ProgramListing final : public QAbstractListModel
{
    Q_OBJECT
public:
    struct Summary
    {
        int instructionCount = 0;
        int movCount = 0;
        int pauseCount = 0;
        qint64 pauseTime = 0;
        int scriptCount = 0;
    };
    /// `tempFilePath` names the first choice, "tq0001.tmp" in the data folder.
    explicit ProgramListing(const QString &tempFilePath, QObject *parent = nullptr);
    ~ProgramListing() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    /// Drag and drop: lines are dragged as their text (ClipboardText) and,
    /// for this listing, their rows. Dropped back on it they move as one step
    /// ("Move"); text from elsewhere is inserted as a paste is ("Drop"), or
    /// refused whole with the reason. Files (urls) are not lines: the main
    /// window takes them. The view removes nothing after a drag.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    QString TempFilePath() const { return m_tempFilePath; }
    /// Takes the first free name for the temporary file, held with a lock so
    /// that a second copy of the program takes the next one (tq0002.tmp, ...)
    /// instead of this one. A free name is one whose copy is gone; what that
    /// copy left there stays as it is. A name `usable` refuses is passed over.
    void LockTempFile(const std::function<bool(const QString &path)> &usable = {});
    /// An empty temporary file (locked first when it is not yet): a leftover
    /// file is emptied, never loaded. A failure to write is reported ("0141")
    /// and the program goes on.
    void CreateTempFile();
    /// At shutdown: nothing is kept, and the name is free again.
    void RemoveTempFile();

    /// Reloads the lines from the temporary file, drops the ones it does not
    /// recognise (one message each, file rewritten), reselects the remembered
    /// line and sets the summary. The lines the model holds are on file
    /// already; a file changed behind the model's back replaces the lines
    /// and the history. Failures are reported with "0105".
    void Update();
    const QStringList &Items() const { return m_items; }
    /// The temporary file's lines as they stand. Throws AppError when the file cannot be read.
    QStringList FileLines() const;

    /// A new program (New, a file read): these lines, a new history, and the
    /// clean state. Throws AppError when the temporary file cannot be written.
    void Reset(const QStringList &lines);

    /// The changes, each one undo step named by `what` ("Insert Pause"). Each
    /// throws AppError (listing unchanged) when a row is out of range or the
    /// temporary file cannot be written.
    void InsertLines(int row, const QStringList &lines, const QString &what);
    void AppendLine(const QString &line, const QString &what);
    /// Text from the clipboard or a drop, checked line by line (ParsePastedText): all
    /// of it inserted at `row` as one step, or none with the refusal shown. A failed
    /// write is reported with `routine`. True when lines went in.
    bool InsertText(int row, const QString &text, const QString &what, const QString &routine);
    void ReplaceLine(int row, const QString &line, const QString &what);
    void RemoveLines(const QList<int> &rows, const QString &what);
    /// The `count` lines from `row` become `lines`, as one step (a take laid
    /// over the program replaces them all). Lines that stay the same at either
    /// end are left out of the step; no step when nothing changes.
    void ReplaceLines(int row, int count, const QStringList &lines, const QString &what);
    /// Each of `rows` one line up (delta -1) or down (+1); nothing when one
    /// would leave the listing.
    void MoveLinesBy(const QList<int> &rows, int delta, const QString &what);
    /// `rows` as one block before line `before` of the listing as it stands (a drop).
    void MoveLinesTo(const QList<int> &rows, int before, const QString &what);
    /// The eight properties become `after` in `store`, as one undo step.
    void ChangeProperties(ProgramPropertyStore &store, const ProgramProperties &after, const QString &what);

    bool CanUndo() const { return m_index > 0; }
    bool CanRedo() const { return m_index < int(m_steps.size()); }
    QString UndoText() const;
    QString RedoText() const;
    /// A failed write is reported ("0109") and the step stays where it was.
    void Undo();
    void Redo();
    /// The program as last saved or loaded.
    bool IsClean() const { return m_cleanIndex == m_index; }
    void SetClean();
    /// The program matches no saved state (one brought back after a crash):
    /// not clean until it is saved or loaded.
    void SetUnsaved();

    /// The five summary values as the window shows them.
    QStringList SummaryTexts() const;

    /// The selection every view of the listing shares.
    QItemSelectionModel &Selection() { return m_selection; }
    /// The selected lines in order; the current line alone when none is selected.
    QList<int> SelectedRows() const;
    /// The current line; -1 for none.
    int SelectedLine() const;
    /// The user selected a line (list click): selection and SelectedInstructionIndex.
    void ListClicked(int line);
    /// The selection changed without a click (keyboard, a run's progress).
    void SetSelectedLine(int line);
    QString SelectedInstructionIndex() const { return m_selectedInstructionIndex; }
    void SetSelectedInstructionIndex(const QString &index) { m_selectedInstructionIndex = index; }

Q_SIGNALS:
    void listChanged();
    void selectionChanged(int line);
    void summaryChanged();
    /// Undo or redo texts or the clean state changed.
    void historyChanged();
    /// Update found no temporary file (after its message).
    void tempFileMissing();

private:
    /// One change: lines removed (at their rows before it), then lines
    /// inserted (at their rows after it); and the properties, when it holds them.
    struct Step
    {
        explicit Step(QString name, QList<int> removed = {}, QStringList removedText = {}, QList<int> inserted = {},
                      QStringList insertedText = {})
            : what(std::move(name))
            , removedRows(std::move(removed))
            , removedLines(std::move(removedText))
            , insertedRows(std::move(inserted))
            , insertedLines(std::move(insertedText))
        {
        }
        QString what;
        QList<int> removedRows;
        QStringList removedLines;
        QList<int> insertedRows;
        QStringList insertedLines;
        ProgramPropertyStore *store = nullptr;
        ProgramProperties before;
        ProgramProperties after;
    };
    void push(Step step);
    /// Applies `step` (its inverse when `undo`): file first, then the model.
    void apply(const Step &step, bool undo);
    void selectRows(const QList<int> &rows);
    void setLines(QStringList lines);
    /// Adds (sign 1) or takes away (-1) the lines' share of the summary.
    void countLines(const QStringList &lines, int sign);
    void refreshSummary();
    /// What marks a drag as this listing's own.
    QByteArray dragToken() const;
    /// The rows a drag of this listing's own took, when they still hold its
    /// lines; nullopt otherwise.
    std::optional<QList<int>> draggedRows(const QMimeData &data) const;

    QString m_tempFilePath;
    std::unique_ptr<QLockFile> m_lock;
    QStringList m_items;
    Summary m_summary;
    QItemSelectionModel m_selection{this};
    QString m_selectedInstructionIndex;
    std::vector<Step> m_steps;
    int m_index = 0;
    int m_cleanIndex = 0;
};
