#include "timeline/TimelineView.h"

#include "app/ServoModel.h"
#include "program/ProgramListing.h"
#include "timeline/TimelineExport.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kServoLaneHeight = 44;
constexpr int kSoundLaneHeight = 22;
constexpr int kLanePad = 4;
/// Closest zoom: a hundred pixels a millisecond.
constexpr double kMinMsPerPixel = 0.01;
/// The widest the content may grow, so scroll bar positions stay within an int.
constexpr double kMaxContentPixels = 1e9;
/// The widest picture of the whole run; a run longer than that at the shown zoom is fitted to it.
constexpr int kMaxExportColumns = 20000;
/// A gap that takes no time (the run stopped there) is still this wide.
constexpr int kGapWidth = 6;

QString secondsText(double ms, int decimals)
{
    return QString::number(ms / 1000.0, 'f', decimals) + QStringLiteral(" s");
}

} // namespace

TimelineView::TimelineView(ProgramListing &listing, const ServoModel &servos, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_listing(listing)
    , m_servos(servos)
{
    setObjectName(QStringLiteral("TimelineView"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    m_markedLine = listing.SelectedLine();
    connect(&listing, &ProgramListing::selectionChanged, this, &TimelineView::showLine);
    connect(&servos, &ServoModel::labelChanged, viewport(), qOverload<>(&QWidget::update));
    connect(&servos, &ServoModel::enabledChanged, viewport(), qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        m_fitted = false;
        m_followPlayhead = m_followPlayhead && m_scrollingToPlayhead;
    });
    connect(&m_playhead, &TimelinePlayhead::moved, this, &TimelineView::playheadMoved);

    m_menu = new QMenu(this);
    for (const auto &[caption, format] : {std::pair{"Export as PNG", TimelineExport::Format::Png},
                                          std::pair{"Export as SVG", TimelineExport::Format::Svg}}) {
        QMenu *sub = m_menu->addMenu(QString::fromLatin1(caption));
        for (const auto &[item, extent] :
             {std::pair{"Shown Zoom...", Extent::Shown}, std::pair{"Whole Program...", Extent::Whole}}) {
            QAction *a = sub->addAction(QString::fromLatin1(item));
            a->setObjectName(QStringLiteral("%1 %2").arg(QString::fromLatin1(caption), QString::fromLatin1(item)));
            connect(a, &QAction::triggered, this,
                    [this, format, extent] { TimelineExport::Ask(*this, extent, format); });
        }
    }
}

void TimelineView::SetLanes(TraceLanes lanes)
{
    m_lanes = std::move(lanes);
    m_soundFiles.clear();
    for (const TraceLanes::SoundLane &lane : m_lanes.sounds)
        m_soundFiles.append(TimelineSounds::Read(lane.name));
    if (m_fitted)
        Fit();
    else
        updateScrollBars();
    viewport()->update();
}

void TimelineView::SetRange(int low, int high)
{
    m_low = low;
    m_high = high;
    viewport()->update();
}

void TimelineView::Fit()
{
    m_msPerPixel = std::max(kMinMsPerPixel, double(totalMs()) / std::max(1, timeWidth()));
    updateScrollBars();
    const QSignalBlocker quiet(horizontalScrollBar());
    horizontalScrollBar()->setValue(0);
    m_fitted = true;
    viewport()->update();
}

void TimelineView::ZoomBy(double factor, int anchorX)
{
    const double anchorMs = timeAt(anchorX);
    const double widest = std::max(kMinMsPerPixel, double(totalMs()) / std::max(1, timeWidth()));
    m_msPerPixel = std::clamp(m_msPerPixel * factor, std::max(kMinMsPerPixel, totalMs() / kMaxContentPixels), widest);
    updateScrollBars();
    horizontalScrollBar()->setValue(int(std::lround(anchorMs / m_msPerPixel)) - (anchorX - kLabelWidth));
    m_fitted = false;
    viewport()->update();
}

int TimelineView::XOf(qint64 timeMs) const
{
    return xOf(timeMs, shownFrame());
}

int TimelineView::xOf(qint64 timeMs, const Frame &f)
{
    // Far off screen stays far off screen without leaving the int range.
    return kLabelWidth + int(std::clamp(std::floor((double(timeMs) - f.startMs) / f.msPerPixel), -1e7, 1e7));
}

QRect TimelineView::LaneRect(int lane) const
{
    return laneRect(lane, shownFrame());
}

QRect TimelineView::laneRect(int lane, const Frame &f) const
{
    int y = kRulerHeight - f.top;
    for (int i = 0; i < lane; ++i)
        y += i < m_lanes.servos.size() ? kServoLaneHeight : kSoundLaneHeight;
    return {0, y, f.size.width(), lane < m_lanes.servos.size() ? kServoLaneHeight : kSoundLaneHeight};
}

TimelineView::Frame TimelineView::shownFrame() const
{
    return {startMs(), m_msPerPixel, timeWidth(), viewport()->size(), verticalScrollBar()->value()};
}

TimelineView::Frame TimelineView::frame(Extent extent) const
{
    if (extent == Extent::Shown)
        return shownFrame();
    const double total = double(totalMs());
    double msPerPixel = m_msPerPixel;
    double columns = std::ceil(total / msPerPixel);
    if (columns > kMaxExportColumns) {
        columns = kMaxExportColumns;
        msPerPixel = total / columns;
    }
    int height = kRulerHeight;
    for (int i = 0; i < laneCount(); ++i)
        height += i < m_lanes.servos.size() ? kServoLaneHeight : kSoundLaneHeight;
    // Room for the note on an empty run and for the marks of its gaps.
    height = std::max(height, kRulerHeight + kServoLaneHeight);
    const int width = std::max(1, int(columns));
    return {0, msPerPixel, width, QSize(kLabelWidth + width, height), 0};
}

QSize TimelineView::RenderSize(Extent extent) const
{
    return frame(extent).size;
}

void TimelineView::Render(QPainter &painter, Extent extent) const
{
    painter.setFont(font());
    paintFrame(painter, frame(extent));
}

int TimelineView::laneAt(int y) const
{
    if (y < kRulerHeight)
        return -1;
    for (int i = 0; i < laneCount(); ++i) {
        const QRect rect = LaneRect(i);
        if (y >= rect.top() && y <= rect.bottom())
            return i;
    }
    return -1;
}

int TimelineView::LineAt(const QPoint &pos) const
{
    const double ms = timeAt(pos.x());
    if (pos.x() < kLabelWidth || ms < 0 || ms > double(totalMs()))
        return -1;
    const qint64 t = qint64(std::floor(ms));
    // On a lane, the line behind what the lane shows there: the move held, the sound playing.
    const int lane = laneAt(pos.y());
    const int servoLanes = int(m_lanes.servos.size());
    if (lane >= 0 && lane < servoLanes) {
        const QList<TraceLanes::Step> &steps = m_lanes.servos.at(lane).steps;
        if (const int step = TraceLanes::StepAt(steps, t); step >= 0)
            return steps.at(step).line;
    } else if (lane >= servoLanes) {
        const QList<TraceLanes::Span> &spans = m_lanes.sounds.at(lane - servoLanes).spans;
        if (const int span = TraceLanes::SpanAt(spans, t); span >= 0)
            return spans.at(span).line;
    }
    return m_lanes.LineAt(t);
}

int TimelineView::SoundLineAt(const QPoint &pos) const
{
    const int lane = laneAt(pos.y()) - int(m_lanes.servos.size());
    const double ms = timeAt(pos.x());
    if (pos.x() < kLabelWidth || lane < 0 || ms < 0)
        return -1;
    const QList<TraceLanes::Span> &spans = m_lanes.sounds.at(lane).spans;
    const int span = TraceLanes::SpanAt(spans, qint64(std::floor(ms)));
    return span >= 0 ? spans.at(span).line : -1;
}

int TimelineView::timeWidth() const
{
    return std::max(1, viewport()->width() - kLabelWidth);
}

qint64 TimelineView::totalMs() const
{
    qint64 total = m_lanes.endMs;
    for (const TraceLanes::SoundLane &lane : m_lanes.sounds)
        total = std::max(total, lane.spans.constLast().endMs);
    // A run that takes no time still gets a second of ruler.
    return total > 0 ? total : 1000;
}

double TimelineView::startMs() const
{
    return horizontalScrollBar()->value() * m_msPerPixel;
}

double TimelineView::timeAt(int x) const
{
    return startMs() + (x - kLabelWidth) * m_msPerPixel;
}

void TimelineView::updateScrollBars()
{
    const int content = int(std::ceil(double(totalMs()) / m_msPerPixel));
    QScrollBar *h = horizontalScrollBar();
    const QSignalBlocker quiet(h);
    h->setRange(0, std::max(0, content - timeWidth()));
    h->setPageStep(timeWidth());
    h->setSingleStep(std::max(1, timeWidth() / 10));
    int lanesHeight = 0;
    for (int i = 0; i < laneCount(); ++i)
        lanesHeight += LaneRect(i).height();
    QScrollBar *v = verticalScrollBar();
    const int visible = viewport()->height() - kRulerHeight;
    v->setRange(0, std::max(0, lanesHeight - visible));
    v->setPageStep(std::max(1, visible));
    v->setSingleStep(kSoundLaneHeight);
}

void TimelineView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitted)
        Fit();
    else
        updateScrollBars();
}

void TimelineView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    paintFrame(painter, shownFrame());
    // Only while a run plays: not part of a picture.
    paintPlayhead(painter);
}

void TimelineView::paintFrame(QPainter &painter, const Frame &f) const
{
    const QRect all(QPoint(), f.size);
    painter.fillRect(all, palette().base());
    const int columns = f.columns;
    const QRect timeArea(kLabelWidth, kRulerHeight, columns, all.height() - kRulerHeight);

    for (int i = 0; i < laneCount(); ++i) {
        const QRect rect = laneRect(i, f);
        if (rect.bottom() < kRulerHeight || rect.top() > all.bottom())
            continue;
        painter.setClipRect(timeArea);
        if (i % 2)
            painter.fillRect(rect, palette().alternateBase());
        QString name;
        bool enabled = true;
        if (i < m_lanes.servos.size()) {
            const TraceLanes::ServoLane &lane = m_lanes.servos.at(i);
            paintServoLane(painter, rect, lane, f);
            name = m_servos.Label(lane.servo);
            enabled = m_servos.Enabled(lane.servo);
        } else {
            const int sound = i - int(m_lanes.servos.size());
            paintSoundLane(painter, rect, sound, f);
            name = m_lanes.sounds.at(sound).name;
            enabled = m_soundFiles.value(sound).overview != nullptr;
        }
        painter.setClipRect(QRect(0, kRulerHeight, kLabelWidth, timeArea.height()));
        const QRect label(0, rect.top(), kLabelWidth, rect.height());
        painter.fillRect(label, palette().button());
        painter.setPen(palette().color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        const QRect text = label.adjusted(6, 0, -4, 0);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(name, Qt::ElideRight, text.width()));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, rect.bottom(), all.width(), rect.bottom());
    }
    painter.setClipping(false);
    paintGaps(painter, f);
    if (laneCount() == 0) {
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(timeArea, Qt::AlignCenter, QStringLiteral("No servo moves and no sounds."));
    }
    paintRuler(painter, f);
    // The listing's selected line, at the time it starts.
    if (m_markedLine >= 0 && m_markedLine < m_lanes.lineStarts.size()) {
        const int x = xOf(m_lanes.lineStarts.at(m_markedLine), f);
        if (x >= kLabelWidth && x < all.width()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.drawLine(x, 0, x, all.height());
        }
    }
}

void TimelineView::paintServoLane(QPainter &painter, const QRect &rect, const TraceLanes::ServoLane &lane,
                                  const Frame &f) const
{
    const int columns = f.columns;
    const int low = m_high > m_low ? m_low : 0;
    const int span = m_high > m_low ? m_high - m_low : 254;
    const int height = rect.height() - 2 * kLanePad - 1;
    const auto yOf = [&](int position) {
        return rect.bottom() - kLanePad - (std::clamp(position - low, 0, span) * height + span / 2) / span;
    };
    // One rectangle per run of columns at one level, one per column that moves: a step's edge
    // is a column spanning the old and the new level.
    QList<QRect> marks;
    const QList<TraceLanes::Column> cells = TraceLanes::Columns(lane.steps, f.startMs, f.msPerPixel, columns);
    for (int c = 0; c < columns; ++c) {
        const TraceLanes::Column &cell = cells.at(c);
        if (cell.low < 0)
            continue;
        const int x = kLabelWidth + c;
        if (cell.low != cell.high) {
            const int top = yOf(cell.high);
            marks.append(QRect(x, top, 1, yOf(cell.low) - top + 1));
            continue;
        }
        int end = c;
        while (end + 1 < columns && cells.at(end + 1).low == cell.low && cells.at(end + 1).high == cell.low)
            ++end;
        marks.append(QRect(x, yOf(cell.low), end - c + 1, 1));
        c = end;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_servos.Enabled(lane.servo) ? palette().color(QPalette::Text)
                                                  : palette().color(QPalette::Disabled, QPalette::Text));
    painter.drawRects(marks);
}

void TimelineView::paintSoundLane(QPainter &painter, const QRect &rect, int sound, const Frame &f) const
{
    // A bar with the file's waveform while the sound plays; a file that cannot be read leaves
    // only the marks where its lines start it.
    const TraceLanes::SoundLane &lane = m_lanes.sounds.at(sound);
    const WaveformOverview *overview = m_soundFiles.value(sound).overview.get();
    const int columns = f.columns;
    const QRect band = rect.adjusted(0, kLanePad, 0, -kLanePad);
    const QList<quint8> cells = TraceLanes::SpanColumns(lane.spans, f.startMs, f.msPerPixel, columns);
    QList<QRect> bars, starts;
    for (int c = 0; c < columns; ++c) {
        if (cells.at(c) & TraceLanes::kStarts)
            starts.append(QRect(kLabelWidth + c, rect.top() + 1, 1, rect.height() - 2));
    }
    for (int c = 0; c < columns && overview; ++c) {
        if (!(cells.at(c) & TraceLanes::kCovered))
            continue;
        int end = c;
        while (end + 1 < columns && (cells.at(end + 1) & TraceLanes::kCovered))
            ++end;
        bars.append(QRect(kLabelWidth + c, band.top(), end - c + 1, band.height()));
        c = end;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight).lighter(160));
    painter.drawRects(bars);
    if (overview)
        paintWaveform(painter, band, lane, *overview, f);
    painter.setBrush(palette().color(QPalette::Text));
    painter.drawRects(starts);
}

void TimelineView::paintWaveform(QPainter &painter, const QRect &band, const TraceLanes::SoundLane &lane,
                                 const WaveformOverview &overview, const Frame &f) const
{
    // Each span from its own start, one peak per pixel column, cut where the span ends.
    const double viewEnd = f.startMs + f.columns * f.msPerPixel;
    const double mid = band.top() + (band.height() - 1) / 2.0;
    const double half = (band.height() - 1) / 2.0;
    QList<QRect> marks;
    int drawnTo = -1;
    auto span = std::partition_point(lane.spans.cbegin(), lane.spans.cend(),
                                     [&f](const TraceLanes::Span &s) { return double(s.endMs) <= f.startMs; });
    for (; span != lane.spans.cend() && double(span->startMs) < viewEnd; ++span) {
        const int first =
            int(std::clamp(std::floor((double(span->startMs) - f.startMs) / f.msPerPixel), 0.0, double(f.columns)));
        const int last = int(
            std::clamp(std::ceil((double(span->endMs) - f.startMs) / f.msPerPixel) - 1, -1.0, double(f.columns - 1)));
        // Spans too short for a column of their own draw nothing over the one already drawn.
        if (last < first || last <= drawnTo)
            continue;
        const double from = f.startMs + first * f.msPerPixel - double(span->startMs);
        const int count = last - first + 1;
        const std::vector<WaveformPeak> peaks = overview.Range(from, from + count * f.msPerPixel, count);
        for (int c = 0; c < count; ++c) {
            const int top = int(std::lround(mid - std::clamp(peaks[size_t(c)].max, -1.0f, 1.0f) * half));
            const int bottom = int(std::lround(mid - std::clamp(peaks[size_t(c)].min, -1.0f, 1.0f) * half));
            marks.append(QRect(kLabelWidth + first + c, top, 1, std::max(1, bottom - top + 1)));
        }
        drawnTo = last;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(QPalette::Highlight));
    painter.drawRects(marks);
}

void TimelineView::paintGaps(QPainter &painter, const Frame &f) const
{
    // Across every lane, from the message to the next line: what the run skipped there.
    const double viewEnd = f.startMs + f.columns * f.msPerPixel;
    const double reach = kGapWidth * f.msPerPixel;
    const QRect area(kLabelWidth, kRulerHeight, f.columns, f.size.height() - kRulerHeight);
    painter.setClipRect(area);
    auto gap = std::partition_point(m_lanes.gaps.cbegin(), m_lanes.gaps.cend(),
                                    [&](const TraceLanes::Gap &g) { return double(g.endMs) + reach < f.startMs; });
    for (; gap != m_lanes.gaps.cend() && double(gap->startMs) < viewEnd; ++gap) {
        const QRect band = gapBand(*gap, f);
        painter.fillRect(band, QColor(220, 0, 0, 48));
        painter.fillRect(band, QBrush(QColor(200, 0, 0), Qt::BDiagPattern));
        painter.fillRect(QRect(band.left(), band.top(), 1, band.height()), QColor(200, 0, 0));
    }
    painter.setClipping(false);
}

QStringList TimelineView::gapTextsAt(int x) const
{
    QStringList texts;
    const Frame f = shownFrame();
    for (const TraceLanes::Gap &gap : m_lanes.gaps) {
        const QRect band = gapBand(gap, f);
        if (x >= band.left() && x <= band.right())
            texts.append(m_lanes.reports.at(gap.report));
    }
    return texts;
}

QRect TimelineView::gapBand(const TraceLanes::Gap &gap, const Frame &f) const
{
    int left = xOf(gap.startMs, f);
    // Where the run stopped, the gap is at its very end: drawn just before it, not past it.
    const qint64 total = totalMs();
    if (gap.endMs >= total)
        left = std::min(left, xOf(total, f) - kGapWidth);
    return {left, kRulerHeight, std::max(xOf(gap.endMs, f) - left, kGapWidth), f.size.height() - kRulerHeight};
}

void TimelineView::paintRuler(QPainter &painter, const Frame &f) const
{
    const double start = f.startMs;
    const QRect ruler(0, 0, f.size.width(), kRulerHeight);
    painter.fillRect(ruler, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    // Ticks at 1, 2 or 5 times a power of ten milliseconds, at least 80 pixels apart.
    double step = 1;
    for (int i = 0; step / f.msPerPixel < 80; ++i)
        step = std::pow(10.0, i / 3) * (i % 3 == 0 ? 1 : i % 3 == 1 ? 2 : 5);
    const int decimals = step >= 1000 ? 0 : step >= 100 ? 1 : step >= 10 ? 2 : 3;
    const double end = start + f.columns * f.msPerPixel;
    for (double t = std::floor(start / step) * step; t <= end; t += step) {
        const int x = xOf(qint64(std::llround(t)), f);
        if (x < kLabelWidth)
            continue;
        painter.drawLine(x, kRulerHeight - 6, x, kRulerHeight - 1);
        painter.drawText(x + 3, kRulerHeight - 7, secondsText(t, decimals));
    }
    painter.fillRect(QRect(0, 0, kLabelWidth, kRulerHeight), palette().window());
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, kRulerHeight - 1, ruler.width(), kRulerHeight - 1);
}

void TimelineView::wheelEvent(QWheelEvent *event)
{
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        ZoomBy(std::pow(0.8, delta.y() / 120.0), int(event->position().x()));
    } else if (event->modifiers() & Qt::ShiftModifier) {
        verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y() * kSoundLaneHeight / 120);
    } else {
        // The wheel moves through time; a sideways wheel does too.
        const int steps = delta.x() ? delta.x() : delta.y();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        steps * horizontalScrollBar()->singleStep() / 120);
    }
    event->accept();
}

void TimelineView::keyPressEvent(QKeyEvent *event)
{
    const int centre = kLabelWidth + timeWidth() / 2;
    if (event->matches(QKeySequence::ZoomIn) ||
        (event->modifiers() & Qt::ControlModifier && event->key() == Qt::Key_Equal))
        ZoomBy(0.5, centre);
    else if (event->matches(QKeySequence::ZoomOut))
        ZoomBy(2, centre);
    else if (event->modifiers() & Qt::ControlModifier && event->key() == Qt::Key_0)
        Fit();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void TimelineView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    if (const int line = LineAt(event->position().toPoint()); line >= 0 && line < m_listing.rowCount())
        m_listing.ListClicked(line);
}

bool TimelineView::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QAbstractScrollArea::viewportEvent(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    // What went wrong there comes before what the line is: a message, a sound that cannot be read.
    QStringList problems;
    if (help->pos().x() >= kLabelWidth && help->pos().y() >= kRulerHeight)
        problems = gapTextsAt(help->pos().x());
    if (const int sound = laneAt(help->pos().y()) - int(m_lanes.servos.size());
        problems.isEmpty() && sound >= 0 && sound < m_soundFiles.size())
        problems.append(m_soundFiles.at(sound).error);
    problems.removeAll(QString());
    if (!problems.isEmpty()) {
        QToolTip::showText(help->globalPos(), problems.join(QLatin1Char('\n')), viewport());
        return true;
    }
    const int line = LineAt(help->pos());
    if (line < 0 || line >= m_listing.Items().size() || line >= m_lanes.lineStarts.size()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("Line %1 at %2: %3")
                           .arg(line + 1)
                           .arg(secondsText(double(m_lanes.lineStarts.at(line)), 3), m_listing.Items().at(line)),
                       viewport());
    return true;
}

QList<QAction *> TimelineView::ExportActions() const
{
    return m_menu->actions();
}

void TimelineView::contextMenuEvent(QContextMenuEvent *event)
{
    // A sound offers what can be done with it, the pictures below that.
    if (const int line = SoundLineAt(event->pos());
        line >= 0 && isSignalConnected(QMetaMethod::fromSignal(&TimelineView::soundMenuRequested)))
        emit soundMenuRequested(line, event->globalPos());
    else
        m_menu->popup(event->globalPos());
    event->accept();
}

void TimelineView::showLine(int line)
{
    m_markedLine = line;
    // While a run goes on, the playhead decides what is in sight.
    if (!m_playhead.Active() && line >= 0 && line < m_lanes.lineStarts.size()) {
        const int x = XOf(m_lanes.lineStarts.at(line));
        if (x < kLabelWidth || x >= viewport()->width()) {
            horizontalScrollBar()->setValue(int(std::lround(m_lanes.lineStarts.at(line) / m_msPerPixel)) -
                                            timeWidth() / 4);
        }
    }
    viewport()->update();
}

int TimelineView::playheadX() const
{
    const double ms = PlayheadMs();
    if (ms < 0)
        return -1;
    const int x = kLabelWidth + int(std::clamp(std::floor((ms - startMs()) / m_msPerPixel), -1e7, 1e7));
    return x >= kLabelWidth && x < viewport()->width() ? x : -1;
}

void TimelineView::playheadMoved()
{
    const double ms = PlayheadMs();
    if (ms < 0) {
        if (m_playheadShown) {
            // The run is over: the selection shows where it got to.
            m_playheadShown = false;
            if (m_followPlayhead)
                showLine(m_markedLine);
            viewport()->update();
        }
        m_followPlayhead = true;
        return;
    }
    m_playheadShown = true;
    int x = playheadX();
    if (x >= 0) {
        // In sight, whether it stayed there or the user brought it back.
        m_followPlayhead = true;
    } else if (m_followPlayhead) {
        const QScopedValueRollback scrolling(m_scrollingToPlayhead, true);
        horizontalScrollBar()->setValue(int(std::lround(ms / m_msPerPixel)) - timeWidth() / 4);
        x = playheadX();
    }
    if (x != m_playheadX) {
        m_playheadX = x;
        viewport()->update();
    }
}

void TimelineView::paintPlayhead(QPainter &painter) const
{
    const int x = playheadX();
    if (x < 0)
        return;
    const QColor colour(214, 48, 49);
    painter.setPen(QPen(colour, 1));
    painter.drawLine(x, kRulerHeight, x, viewport()->height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPoint head[] = {{x - 5, kRulerHeight - 8}, {x + 5, kRulerHeight - 8}, {x, kRulerHeight - 1}};
    painter.drawPolygon(head, 3);
}
