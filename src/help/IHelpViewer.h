#pragma once

#include <QString>

class QObject;

/// The panes a help viewer opens on.
enum class HelpPane { Contents, Index, Search };

/// Shows a help file. This platform has no help service of its own: the
/// application installs its viewer window behind this.
class IHelpViewer
{
public:
    virtual ~IHelpViewer() = default;
    /// Shows the file's pane; the address is the file, or file ">" window type.
    /// The owner is the calling window, or nothing. Failures are the viewer's own.
    virtual void Show(const QString &address, HelpPane pane, QObject *owner) = 0;
};
