#pragma once

#include "help/IHelpViewer.h"

#include <QString>

class QObject;

/// Opens a help file at its contents, index or search pane through a help
/// viewer, after checking the file's name and that it exists; the problems
/// found are shown in a box titled "HTML Help Class".
class HTMLHelp
{
public:
    explicit HTMLHelp(IHelpViewer *viewer);

    /// The help file; a name without a folder is looked for in the program's folder.
    QString CHMFile() const { return m_chmFile; }
    void SetCHMFile(const QString &path) { m_chmFile = path; }
    /// A window type of the file; when set the file is addressed as file ">" window.
    QString HHWindow() const { return m_window; }
    void SetHHWindow(const QString &window) { m_window = window; }
    /// When true a calling window must be given.
    bool HHShowOnTop() const { return m_showOnTop; }
    void SetHHShowOnTop(bool onTop) { m_showOnTop = onTop; }

    void HHDisplayContents(QObject *caller = nullptr);
    void HHDisplayIndex(QObject *caller = nullptr);
    void HHDisplaySearch(QObject *caller = nullptr);

private:
    void display(HelpPane pane, QObject *caller);

    IHelpViewer *m_viewer;
    QString m_chmFile;
    QString m_window;
    bool m_showOnTop = false;
};
