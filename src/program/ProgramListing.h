#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

/// The program being edited: its instruction lines, their summary and the
/// selected line, mirrored in the temporary file. The only writer of that
/// file; Log and the Insert commands append through it, the file reader
/// replaces it, the Execution Controller shows it.
class ProgramListing final : public QObject
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

    QString TempFilePath() const { return m_tempFilePath; }
    /// An empty temporary file, held with a lock so that a second copy of the
    /// program takes the next free name (tq0002.tmp, ...) instead of emptying
    /// this one; a leftover file whose copy is gone is emptied, never loaded.
    /// A failure to write is reported ("0141") and the program goes on.
    void CreateTempFile();
    /// At shutdown: nothing is kept, and the name is free again.
    void RemoveTempFile();

    /// Reloads the lines from the temporary file, drops the ones it does not
    /// recognise (one message each, file rewritten), reselects the remembered
    /// line and sets the summary. Failures are reported with "0105".
    void Update();
    QStringList Items() const { return m_items; }
    /// The temporary file's lines as they stand, lines appended since the last
    /// Update included. Throws AppError when the file cannot be read.
    QStringList FileLines() const;
    /// Replaces the lines (the editing commands, before UpdateTempFile and Update).
    void SetItems(const QStringList &items);
    /// Writes the lines to the temporary file, each followed by CR LF.
    void UpdateTempFile();
    /// Adds a line to the end of the temporary file without reloading. Throws
    /// AppError; a file that cannot be read is never replaced by the one line.
    void Append(const QString &line);
    /// The temporary file becomes exactly these lines (the file reader). Throws AppError.
    void ReplaceTempFile(const QStringList &lines);

    /// The five summary values as the window shows them.
    QStringList SummaryTexts() const;

    /// The list's selection; -1 for none.
    int SelectedLine() const { return m_selected; }
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
    /// Update found no temporary file (after its message).
    void tempFileMissing();

private:
    QString m_tempFilePath;
    std::unique_ptr<QLockFile> m_lock;
    QStringList m_items;
    Summary m_summary;
    int m_selected = -1;
    QString m_selectedInstructionIndex;
};
