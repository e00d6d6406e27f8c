#pragma once

#include "timeline/TimelineTracer.h"

#include <QDateTime>
#include <QDockWidget>
#include <QStringList>
#include <QTimer>

#include <optional>

class ProgramListing;
class ProgramPropertyStore;
class QLabel;
class ServoModel;
class TimelineView;

/// The timeline beside the listing: traces the program again after any change
/// of the listing or the properties (a burst of changes once, and only while
/// the dock is shown), on a thread of its own, and hands the lanes to its view;
/// the old lanes stay drawn until then.
class TimelineDock final : public QDockWidget
{
    Q_OBJECT
public:
    TimelineDock(ProgramListing &listing, ProgramPropertyStore &properties, const ServoModel &servos,
                 QWidget *parent = nullptr);

    TimelineView &View() const { return *m_view; }
    const TimelineTracer &Tracer() const { return m_tracer; }
    /// Shows these lines instead of the listing's (what a command would make of
    /// the program, before it is kept); nullopt shows the listing again.
    void SetPreview(const std::optional<QStringList> &lines);

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void schedule();
    void retrace();
    void showLanes(TraceLanes lanes);
    /// A script or sound file the last trace used was changed, made or removed since.
    bool filesChanged() const;

    /// What a file looked like when it was traced.
    struct FileStamp
    {
        QString path;
        qint64 size = -1; ///< -1: missing
        QDateTime modified;
        bool operator==(const FileStamp &) const = default;
    };
    static FileStamp stampOf(const QString &path);

    ProgramListing &m_listing;
    ProgramPropertyStore &m_properties;
    TimelineView *m_view;
    QLabel *m_status;
    QTimer m_retrace;
    TimelineTracer m_tracer;
    bool m_stale = true;
    QList<FileStamp> m_used;
    std::optional<QStringList> m_preview;
};
