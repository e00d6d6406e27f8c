#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolBar;

/// The main window's commands: one QAction each, named after its menu item
/// (miNew, miServoControl, ...), placed in the menus and, where the toolbars
/// offer the same command, in the toolbars too. The owner connects what the
/// commands do; this only builds them.
class MainActions final : public QObject
{
    Q_OBJECT
public:
    /// Builds the menu bar and the two toolbars of `window`.
    explicit MainActions(QMainWindow &window);

    /// An action by its name; nullptr when there is none.
    QAction *Item(const QString &name) const;

    QMenu *ScriptsMenu() const { return m_scripts; }
    /// The Execution Controller list's popup; it offers nothing in the bar.
    QMenu *ExecEditMenu() const { return m_execEdit; }
    QToolBar *FileBar() const { return m_fileBar; }
    QToolBar *ViewBar() const { return m_viewBar; }

    /// Everything a run must not reach: both toolbars, the menus File, Edit,
    /// View, Scripts, Configuration and Options with their shortcuts.
    void SetLocked(bool locked);
    bool Locked() const { return m_locked; }

    /// The image list: index -> icon in 16 and 32 pixels.
    static QIcon Image(int index);

Q_SIGNALS:
    void lockedChanged(bool locked);

private:
    void buildMenus();
    void buildToolbars();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, int image = -1);

    QMainWindow &m_window;
    QMenu *m_scripts = nullptr;
    QMenu *m_execEdit = nullptr;
    QToolBar *m_fileBar = nullptr;
    QToolBar *m_viewBar = nullptr;
    QActionGroup *m_views = nullptr;
    bool m_locked = false;
};
