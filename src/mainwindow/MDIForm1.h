#pragma once

#include "mainwindow/MainWindowParts.h"

#include <QMainWindow>

#include <memory>

class ConfigurationCommands;
class EditCommands;
class IServoSliders;
class ServoLink;
struct ProgramProperties;
class FocusCycle;
class HelpViewerHost;
class MainActions;
class PropertyGridModel;
class QMdiArea;
class QMdiSubWindow;
class SidePanel;
class frmExecution;
class frmServoControl;

/// The main window: menus, the file and view toolbars, the side panel with the
/// property grid and the all-servo buttons, and the child area that shows
/// either the Servo Controller or the Execution Controller. Closing it with
/// an unsaved listing asks whether to save it first.
class MDIForm1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit MDIForm1(const MainWindowParts &parts, QWidget *parent = nullptr);
    ~MDIForm1() override;

    /// The load step: shows the Servo Controller, loads the Execution
    /// Controller hidden, opens the link, then applies the start-up configuration.
    void Load();

    /// A view toolbar button was clicked: 0 Servo Controller, 1 Execution Controller, 3 Help.
    void cToolbar2_ButtonClick(int index);
    /// Disables (true) or enables the grid, both toolbars, the menus File,
    /// View, Scripts, Configuration and Options, and the all-servo buttons.
    void SetInterfaceLocked(bool locked);

    MainActions &Actions() const { return *m_actions; }
    /// A menu item by its name (miSave, miServoControl, ...).
    QAction *MenuItem(const QString &name) const;
    SidePanel &Side() const { return *m_side; }
    EditCommands &Edits() const { return *m_edits; }
    frmServoControl *ServoControl() const { return m_servoControl; }
    frmExecution *ExecutionWindow() const { return m_execution; }
    QMdiSubWindow *ServoControlChild() const { return m_servoChild; }
    QMdiSubWindow *ExecutionChild() const { return m_executionChild; }

Q_SIGNALS:
    /// The window is closing: the temporary file and the port are to go.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    /// Files from a file manager (TakeDroppedFiles); none while a run locks the interface.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectCommands();
    void connectRecording();
    void showView(int index);
    void allServos(void (*operation)(ServoLink &, const ProgramProperties &, IServoSliders &));
    bool resolveMnemonic(const QKeySequence &key);

    MainWindowParts m_parts;
    PropertyGridModel *m_cells;
    MainActions *m_actions;
    SidePanel *m_side;
    QMdiArea *m_childArea;
    frmServoControl *m_servoControl;
    frmExecution *m_execution;
    QMdiSubWindow *m_servoChild;
    QMdiSubWindow *m_executionChild;
    EditCommands *m_edits;
    ConfigurationCommands *m_configuration = nullptr;
    std::unique_ptr<HelpViewerHost> m_help;
    FocusCycle *m_focusCycle = nullptr;
    bool m_shownOnce = false;
};
