#pragma once

#include "execution/IExecutionHost.h"

#include <QMainWindow>

class PropertyGridModel;
class ServoLink;
class LogoStrip;
class QActionGroup;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QToolBar;
class IServoSliders;
class frmServoControl;

/// The main window: menus, the file and view toolbars, the side panel with the
/// property grid and the all-servo buttons, and the child area that shows
/// either the Servo Controller or the Execution Controller. Closing it removes
/// the temporary file and closes the port; nothing is saved and nothing is asked.
class PropertyGridPanel;

class MDIForm1 : public QMainWindow, public IExecutionHost
{
    Q_OBJECT
public:
    explicit MDIForm1(QWidget *parent = nullptr);
    ~MDIForm1() override;

    /// The servo link and the grid's cells it reads and writes; both outlive the window.
    void SetLink(ServoLink *link, PropertyGridModel *grid);
    /// The Execution Controller window; the main window takes it as its second child.
    void SetExecutionWindow(QWidget *window);
    /// The list's popup for line `line`: the edit item that fits the line, Tag = the line.
    void ShowExecEditPopup(int line, const QPoint &globalPos);

    /// The load step: shows the Servo Controller, loads the Execution Controller
    /// hidden, opens the link, then applies the start-up configuration.
    void Load();

    /// A view toolbar button was clicked: 0 Servo Controller, 1 Execution Controller, 3 Help.
    void cToolbar2_ButtonClick(int index);
    /// A file toolbar button was clicked; separators count in the index.
    void cToolBar1_ButtonClick(int index);
    void cmdLogo_Click();

    frmServoControl *ServoControl() const { return m_servoControl; }
    QWidget *ExecutionWindow() const { return m_execution; }
    QMdiSubWindow *ServoControlChild() const { return m_servoChild; }
    QMdiSubWindow *ExecutionChild() const { return m_executionChild; }
    /// The Execution Controller list's popup menu; Tag holds the line it was opened for.
    QMenu *miExecEdit() const { return m_miExecEdit; }
    QMenu *miScripts() const { return m_miScripts; }
    /// A menu item by its name (miSave, miServoControl, ...).
    QAction *MenuItem(const QString &name) const;
    QToolBar *cToolBar1() const { return m_fileBar; }
    QToolBar *cToolbar2() const { return m_viewBar; }
    QWidget *Picture1() const { return m_sidePanel; }
    LogoStrip *picLogo() const { return m_logo; }
    QPushButton *cmdLogo() const { return m_cmdLogo; }
    QPushButton *cmdCenterAll() const { return m_centerAll; }
    QPushButton *cmdMinAll() const { return m_minAll; }
    QPushButton *cmdMaxAll() const { return m_maxAll; }

    /// The side panel's expanded width: 3375 twips on this screen, more when
    /// the property grid needs it for its font.
    int ExpandedPanelWidth() const;

    // What the Execution Controller needs of the main window.
    bool PortOpen() const override;
    void GoOnline() override;
    QString CenterOnExecution() const override;
    std::unique_ptr<IFrameSink> CreateRunFrameSink() override;
    void SetInterfaceLocked(bool locked) override;
    void ShowServoControllerView() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenus();
    void buildToolbars();
    void buildSidePanel();
    void buildChildArea();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, int image = -1);
    void showServoControl();
    void showExecution();
    void miServoControl_Click();
    void miExecution_Click();
    void miEditServoLabels_Click();
    void miFile_Open();
    void allServos(void (*operation)(ServoLink &, IServoSliders &));
    int twipsX(int twips) const;

    frmServoControl *m_servoControl = nullptr;
    QWidget *m_execution = nullptr;
    ServoLink *m_link = nullptr;
    PropertyGridModel *m_grid = nullptr;

    QMdiArea *m_childArea = nullptr;
    QMdiSubWindow *m_servoChild = nullptr;
    QMdiSubWindow *m_executionChild = nullptr;

    QMenu *m_miScripts = nullptr;
    QMenu *m_miExecEdit = nullptr;
    QToolBar *m_fileBar = nullptr;
    QToolBar *m_viewBar = nullptr;
    QActionGroup *m_viewGroup = nullptr;

    QWidget *m_sidePanel = nullptr;
    QWidget *m_panelContent = nullptr;
    LogoStrip *m_logo = nullptr;
    QPushButton *m_cmdLogo = nullptr;
    QLabel *m_gridLabel = nullptr;
    QFrame *m_gridPlace = nullptr;
    PropertyGridPanel *m_gridPanel = nullptr;
    bool m_shownOnce = false;
    QPushButton *m_centerAll = nullptr;
    QPushButton *m_minAll = nullptr;
    QPushButton *m_maxAll = nullptr;
};
