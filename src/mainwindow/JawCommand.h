#pragma once

#include "record/JawMoves.h"

#include <QObject>
#include <QPoint>

class MainActions;
class ProgramListing;
class ProgramPropertyStore;
class ServoModel;
class TimelineDock;
class QWidget;

/// Generate Moves From Sound, on a wav line of the listing's popup or of the
/// timeline's sound lane: asks for the jaw's settings while the timeline shows
/// the program with the moves, and keeps them as one step on OK.
class JawCommand final : public QObject
{
    Q_OBJECT
public:
    JawCommand(MainActions &actions, ProgramListing &listing, const ProgramPropertyStore &properties,
               const ServoModel &servos, TimelineDock &timeline, QWidget &owner);

    /// Asks for the settings and writes the moves of line `line`'s sound into the program.
    void Generate(int line);

private:
    void showSoundMenu(int line, const QPoint &globalPos);
    JawSettings startSettings() const;
    TakeLines generated(int line, const JawSettings &settings) const;

    MainActions &m_actions;
    ProgramListing &m_listing;
    const ProgramPropertyStore &m_properties;
    const ServoModel &m_servos;
    TimelineDock &m_timeline;
    QWidget &m_owner;
    /// The line the last menu was opened for.
    int m_target = -1;
    /// The choices of the last OK, offered again.
    std::optional<JawSettings> m_last;
};
