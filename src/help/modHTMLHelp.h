#pragma once

#include <QString>

class IHelpViewer;

/// The Help menu's routines: each opens the application's help file on one pane
/// through a fresh HTMLHelp. The main window sets the file and the viewer.
namespace modHTMLHelp {
void SetHelpFile(const QString &path);
QString HelpFile();
/// The viewer the routines show through; not owned, nullptr for none.
void SetViewer(IHelpViewer *viewer);

void ShowContents();
void ShowIndex();
void ShowSearch();
} // namespace modHTMLHelp
