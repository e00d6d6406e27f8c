#include "timeline/TimelineDock.h"

#include "app/DataPaths.h"
#include "app/ProgramPropertyStore.h"
#include "execution/ProgramTrace.h"
#include "execution/TraceLanes.h"
#include "platform/NumericText.h"
#include "program/ProgramListing.h"
#include "timeline/TimelineSounds.h"
#include "timeline/TimelineView.h"

#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

TimelineDock::TimelineDock(ProgramListing &listing, ProgramPropertyStore &properties, const ServoModel &servos,
                           QWidget *parent)
    : QDockWidget(QStringLiteral("Timeline"), parent)
    , m_listing(listing)
    , m_properties(properties)
    , m_view(new TimelineView(listing, servos))
    , m_status(new QLabel)
{
    setObjectName(QStringLiteral("Timeline"));
    auto *fit = new QToolButton;
    fit->setObjectName(QStringLiteral("cmdFit"));
    fit->setText(QStringLiteral("Fit"));
    fit->setToolTip(QStringLiteral("Shows the whole program (Ctrl+0). Ctrl+wheel or Ctrl+plus and minus zoom."));
    connect(fit, &QToolButton::clicked, m_view, &TimelineView::Fit);
    m_status->setObjectName(QStringLiteral("lblTimelineStatus"));

    auto *content = new QWidget;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(2);
    auto *bar = new QHBoxLayout;
    bar->addWidget(fit);
    bar->addWidget(m_status, 1);
    column->addLayout(bar);
    column->addWidget(m_view, 1);
    setWidget(content);

    m_retrace.setSingleShot(true);
    m_retrace.setInterval(0);
    connect(&m_retrace, &QTimer::timeout, this, &TimelineDock::retrace);
    connect(&listing, &ProgramListing::listChanged, this, &TimelineDock::schedule);
    connect(&properties, &ProgramPropertyStore::changed, this, &TimelineDock::schedule);
    connect(&m_tracer, &TimelineTracer::traced, this, &TimelineDock::showLanes);
}

void TimelineDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    if (m_stale || filesChanged())
        m_retrace.start();
}

bool TimelineDock::event(QEvent *event)
{
    // Back from another program, perhaps the editor of a script or a sound. The window passes
    // its activation on to the widgets in it, so this sees it docked or floating.
    if (event->type() == QEvent::WindowActivate && isVisible() && filesChanged())
        m_retrace.start();
    return QDockWidget::event(event);
}

TimelineDock::FileStamp TimelineDock::stampOf(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() ? FileStamp{path, info.size(), info.lastModified()} : FileStamp{path, -1, {}};
}

bool TimelineDock::filesChanged() const
{
    return std::any_of(m_used.cbegin(), m_used.cend(), [](const FileStamp &s) { return stampOf(s.path) != s; });
}

void TimelineDock::schedule()
{
    // A hidden timeline costs nothing: it traces when it is shown again.
    m_stale = true;
    if (isVisible())
        m_retrace.start();
}

void TimelineDock::SetPreview(const std::optional<QStringList> &lines)
{
    m_preview = lines;
    schedule();
}

void TimelineDock::retrace()
{
    m_stale = false;
    m_tracer.Request({m_preview.value_or(m_listing.Items()), m_properties.Properties(), DataPaths::ScriptsFolder(),
                      TimelineSounds::Lengths()});
}

void TimelineDock::showLanes(TraceLanes lanes)
{
    const ProgramProperties &props = m_properties.Properties();
    m_used.clear();
    for (const QString &path : lanes.scriptFiles)
        m_used.append(stampOf(path));
    for (const TraceLanes::SoundLane &lane : lanes.sounds)
        m_used.append(stampOf(TimelineSounds::PathOf(lane.name)));
    m_view->SetRange(WholeNumber32(props.ServoMin).value_or(0), WholeNumber32(props.ServoMax).value_or(254));

    const QLocale locale;
    QString status = lanes.refusal;
    if (status.isEmpty()) {
        status = QStringLiteral("%1 s").arg(locale.toString(lanes.endMs / 1000.0, 'f', 3));
        if (lanes.truncated)
            status +=
                QStringLiteral(", cut short after %1 events").arg(locale.toString(ProgramTrace::kDefaultMaxEvents));
        if (!lanes.reports.isEmpty())
            status += QStringLiteral(", %1 message(s) during the run").arg(lanes.reports.size());
    }
    m_status->setText(m_preview ? QStringLiteral("Preview: ") + status : status);
    m_status->setToolTip(lanes.reports.value(0));
    m_view->SetLanes(std::move(lanes));
}
