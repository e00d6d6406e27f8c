#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

class MainActions;
class ProgramListing;
class ProgramPropertyStore;
class ServoModel;
class QMenu;
class QWidget;
class frmExecution;
class frmServoControl;

/// The commands that change the listing at a line of the Execution
/// Controller: the list's popup menu (by right click, the Menu key or
/// Shift+F10 at the current line, its Insert submenu by the Insert key) and,
/// with them, the edit dialogs, which return the line the user entered.
class EditCommands final : public QObject
{
    Q_OBJECT
public:
    /// The dialogs are owned by `owner`, the main window, and centred on it.
    EditCommands(MainActions &actions, ProgramListing &listing, frmExecution &window, frmServoControl &servoControl,
                 const ServoModel &servos, const ProgramPropertyStore &properties, QWidget &owner);

    /// The popup for line `line`: the edit item that fits the line, Tag = the line.
    void ShowPopup(int line, const QPoint &globalPos);

    /// True from an Insert command to the end of its dialog: the line entered
    /// goes in at the target line instead of replacing it.
    bool InsertMode() const { return m_insertMode; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// Readies the popup for `line`; nullptr when the line offers none.
    QMenu *preparePopup(int line);
    /// The popup, or its Insert submenu, below the current line.
    bool popupAtCurrentLine(bool insertOnly);
    void connectItems();
    int target() const;
    /// The line the popup was last opened for (its Tag). Throws AppError when
    /// the listing no longer has it.
    QString targetLine() const;
    /// The line entered goes in at the target line, or replaces it; one undo
    /// step named by `kind` ("Insert Pause", "Edit Pause").
    void place(const QString &line, bool insert, const QString &kind);
    template <typename Dialog> void showDialog(const char *routine, bool insert, const char *kind);
    void chooseWav(bool insert);

    MainActions &m_actions;
    ProgramListing &m_listing;
    frmExecution &m_window;
    frmServoControl &m_servoControl;
    const ServoModel &m_servos;
    const ProgramPropertyStore &m_properties;
    QWidget &m_owner;
    bool m_insertMode = false;
};
