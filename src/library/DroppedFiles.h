#pragma once

#include <QList>
#include <QUrl>

class FileCommands;
class ProgramListing;

/// Files dropped on the main window from a file manager, taken one after
/// another: a program (".tqp") opens as Open does, its save question first;
/// a sound (".wav") becomes a "WAV path" line at the end, as Insert WAV makes
/// it; a script (".tqs") of the Scripts folder becomes a "Script name.tqs"
/// line at the end, and one from elsewhere is offered to be copied there
/// first (asking before it replaces a script of that name). Anything else is
/// refused with a message, and the next file is taken.
void TakeDroppedFiles(const QList<QUrl> &urls, FileCommands &files, ProgramListing &listing);
