#pragma once

#include <QObject>
#include <QString>

#include <array>

class LinkSession;
class ProgramListing;
class ProgramPropertyStore;

/// The property grid's twelve rows (numbered from 1): names in column 1,
/// values in column 2. The values are not kept here: rows 2 to 9 show the
/// program property store, rows 11 and 12 the link session's execution
/// options. Only a text waiting for a dialog ("Custom...", "Wizard...") is
/// held here, shown and never applied.
class PropertyGridModel final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRowCount = 12;
    enum Row {
        ProgramHeading = 1,
        SynchByte = 2,
        InterInstructionDelay = 3,
        SmartRating = 4,
        CommPort = 5,
        BaudRate = 6,
        ServoMax = 7,
        ServoMin = 8,
        ServoCenter = 9,
        ExecutionHeading = 10,
        CommPortStatus = 11,
        CenterOnExecution = 12,
    };

    /// Property edits become steps of `history`, the listing's.
    PropertyGridModel(ProgramPropertyStore &properties, LinkSession &session, ProgramListing &history,
                      QObject *parent = nullptr);

    ProgramPropertyStore &Properties() const { return m_properties; }
    LinkSession &Session() const { return m_session; }

    /// Cell text; row 1..12, column 1..2. Throws AppError 9 outside the grid.
    QString CellText(int row, int column) const;
    /// A value cell writes through to its owner, which applies it; a text the
    /// cell already shows changes nothing. A waiting text is dropped either way.
    void SetCellText(int row, int column, const QString &text);
    /// Shows `text` in the value cell until the row or the properties are next written.
    void SetPendingText(int row, const QString &text);

Q_SIGNALS:
    /// Some cell may show another text.
    void cellsChanged();

private:
    static void checkCell(int row, int column);

    ProgramPropertyStore &m_properties;
    LinkSession &m_session;
    ProgramListing &m_history;
    std::array<QString, kRowCount> m_names;
    int m_pendingRow = 0;
    QString m_pendingText;
};
