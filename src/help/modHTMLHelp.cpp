#include "help/modHTMLHelp.h"

#include "help/HTMLHelp.h"

namespace {

QString g_helpFile;
IHelpViewer *g_viewer = nullptr;

HTMLHelp applicationHelp()
{
    HTMLHelp help(g_viewer);
    help.SetCHMFile(g_helpFile);
    return help;
}

} // namespace

namespace modHTMLHelp {

void SetHelpFile(const QString &path)
{
    g_helpFile = path;
}

QString HelpFile()
{
    return g_helpFile;
}

void SetViewer(IHelpViewer *viewer)
{
    g_viewer = viewer;
}

void ShowContents()
{
    applicationHelp().HHDisplayContents();
}

void ShowIndex()
{
    applicationHelp().HHDisplayIndex();
}

void ShowSearch()
{
    applicationHelp().HHDisplaySearch();
}

} // namespace modHTMLHelp
