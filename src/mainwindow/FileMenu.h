#pragma once

#include <QObject>

class FileCommands;
class MainActions;
class QMainWindow;

/// The File menu's side of the file commands: its items trigger them, the
/// recent-file entries show the list, the window title shows the open file.
class FileMenu final : public QObject
{
    Q_OBJECT
public:
    FileMenu(MainActions &actions, FileCommands &files, QMainWindow &window);

    /// Shows the recent files in entries miMRU1..4; entry 1 is checked when
    /// it is the open file. The separator shows while the list has entries.
    void DisplayMRU(bool openFileFirst);

private:
    MainActions &m_actions;
    FileCommands &m_files;
    bool m_openFileFirst = false;
};
