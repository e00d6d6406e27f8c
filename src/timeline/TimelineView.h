#pragma once

#include "execution/TraceLanes.h"
#include "timeline/TimelinePlayhead.h"
#include "timeline/TimelineSounds.h"

#include <QAbstractScrollArea>

class ExecutionController;
class ProgramListing;
class QAction;
class QMenu;
class ServoModel;

/// The program as motion: a ruler in seconds, a lane per servo the program
/// moves (the position held over time, as steps within ServoMin..ServoMax) and
/// a lane per sound file. Painted per pixel column from TraceLanes, so its cost
/// follows the width, not the number of events. A click selects the line
/// under the pointer in the listing; the listing's selected line is marked.
/// While a program runs, a playhead shows where the run is, and the view
/// keeps it in sight unless the user scrolls away from it.
class TimelineView final : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int kLabelWidth = 120;
    static constexpr int kRulerHeight = 22;

    TimelineView(ProgramListing &listing, const ServoModel &servos, QWidget *parent = nullptr);

    /// New lanes; the view stays fitted to the whole run unless the user zoomed.
    void SetLanes(TraceLanes lanes);
    const TraceLanes &Lanes() const { return m_lanes; }
    /// The positions a servo lane spans from bottom to top.
    void SetRange(int low, int high);

    /// The whole run in the width of the view.
    void Fit();
    /// Milliseconds per pixel times factor, the time under viewport x staying in place.
    void ZoomBy(double factor, int anchorX);
    double MsPerPixel() const { return m_msPerPixel; }

    /// The viewport x where timeMs is drawn.
    int XOf(qint64 timeMs) const;
    /// The viewport rectangle of lane i: servo lanes first, then sound lanes.
    QRect LaneRect(int lane) const;
    /// The top-level line a click at viewport point pos selects; -1 for none.
    int LineAt(const QPoint &pos) const;
    /// The wav line whose sound plays at viewport point pos of a sound lane; -1 elsewhere.
    int SoundLineAt(const QPoint &pos) const;

    /// Shows the runs of exec with a playhead.
    void FollowRuns(const ExecutionController &exec) { m_playhead.Follow(exec); }
    const TimelinePlayhead &Playhead() const { return m_playhead; }
    /// The time the playhead is drawn at; -1 for none.
    double PlayheadMs() const { return m_playhead.PositionMs(m_lanes); }

    /// What a picture of the view holds: the part shown, or the whole run with every lane.
    enum class Extent { Shown, Whole };
    /// The size of the picture Render draws.
    QSize RenderSize(Extent extent) const;
    /// Draws the picture at (0,0) with the widget's own painting.
    void Render(QPainter &painter, Extent extent) const;
    /// The picture exports of the view's context menu, for menus that add them to their own.
    QList<QAction *> ExportActions() const;

Q_SIGNALS:
    /// A right click on a sound: the wav line that plays it, for what can be done with that sound.
    void soundMenuRequested(int line, const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    /// Where painting puts time and lanes: on the viewport, or on an exported picture.
    struct Frame
    {
        double startMs = 0;
        double msPerPixel = 1;
        int columns = 1; ///< pixel columns of time, right of the labels
        QSize size;
        int top = 0; ///< lanes scrolled up by this many pixels
    };
    Frame shownFrame() const;
    Frame frame(Extent extent) const;
    void paintFrame(QPainter &painter, const Frame &f) const;
    QRect laneRect(int lane, const Frame &f) const;
    static int xOf(qint64 timeMs, const Frame &f);
    void paintGaps(QPainter &painter, const Frame &f) const;
    void paintWaveform(QPainter &painter, const QRect &band, const TraceLanes::SoundLane &lane,
                       const WaveformOverview &overview, const Frame &f) const;
    QRect gapBand(const TraceLanes::Gap &gap, const Frame &f) const;
    /// The messages of the gaps drawn under viewport x.
    QStringList gapTextsAt(int x) const;

    int laneCount() const { return int(m_lanes.servos.size() + m_lanes.sounds.size()); }
    int laneAt(int y) const;
    int timeWidth() const;
    qint64 totalMs() const;
    double startMs() const;
    double timeAt(int x) const;
    void updateScrollBars();
    void paintServoLane(QPainter &painter, const QRect &rect, const TraceLanes::ServoLane &lane, const Frame &f) const;
    void paintSoundLane(QPainter &painter, const QRect &rect, int sound, const Frame &f) const;
    void paintRuler(QPainter &painter, const Frame &f) const;
    void showLine(int line);
    /// The viewport x of the playhead; -1 with none or out of sight.
    int playheadX() const;
    void playheadMoved();
    void paintPlayhead(QPainter &painter) const;

    ProgramListing &m_listing;
    const ServoModel &m_servos;
    TraceLanes m_lanes;
    QList<TimelineSounds::Sound> m_soundFiles; ///< per sound lane
    QMenu *m_menu;
    int m_low = 0;
    int m_high = 254;
    double m_msPerPixel = 1;
    bool m_fitted = true;
    int m_markedLine = -1;
    TimelinePlayhead m_playhead;
    bool m_playheadShown = false;
    int m_playheadX = -1; ///< where it stood at the last report or frame
    bool m_followPlayhead = true;
    bool m_scrollingToPlayhead = false;
};
