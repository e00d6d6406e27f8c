#pragma once

#include "help/HelpViewer.h"
#include "help/IHelpViewer.h"

#include <QPointer>

/// Shows help in one HelpViewer window, made at the first request and raised
/// at each later one.
class HelpViewerHost final : public IHelpViewer
{
public:
    /// The window is made as a child of parent, so it goes with it.
    explicit HelpViewerHost(QWidget *parent);
    ~HelpViewerHost() override;

    void Show(const QString &address, HelpPane pane, QObject *owner) override;
    /// The window, nullptr before the first request or after it was closed.
    HelpViewer *Window() const { return m_window; }

private:
    QWidget *m_parent;
    QPointer<HelpViewer> m_window;
};
