#pragma once

#include "app/ServoModel.h"
#include "link/IServoSliders.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QSlider;
class QVBoxLayout;
class ProgramListing;
class ProgramPropertyStore;
class RecordBar;
class ServoLink;
class ServoPanel;
class TakeRecorder;

/// The Servo Controller: one panel per servo whose slider moves the servo live,
/// "Center" and "Log" buttons, and the tools that append a pause, a WAV line or
/// a script call to the program. Every line it adds goes to the end of the
/// listing's temporary file. Shows the servo model's labels, enabled states,
/// positions and loaded scripts; the sliders hold no position of their own.
class frmServoControl : public QWidget, public IServoSliders
{
    Q_OBJECT
public:
    frmServoControl(ServoModel &servos, ProgramListing &listing, const ProgramPropertyStore &properties,
                    ServoLink &link, QWidget *parent = nullptr);
    /// The menu shown on a right click over the script list.
    void SetScriptsMenu(QMenu *menu) { m_scriptsMenu = menu; }
    /// Adds the recording strip below the panels; the sliders' moves go to the recorder.
    void SetRecorder(TakeRecorder &recorder);
    RecordBar *Recording() const { return m_recordBar; }

    /// The window's load step: labels, sliders at the centre value, then the
    /// servo limits as range.
    void Load();

    // The slider interface the link and the configuration loader drive. Setting
    // a value runs the slider's change event like a user's change.
    void SetSliderRange(int servo, int minimum, int maximum) override;
    void SetSliderValue(int servo, int value) override;

    void LogServoPosition(int servo);
    void InsertWAV(const QString &sPath);

    // The controls, by their names.
    ServoPanel *panel(int servo) const { return m_panels.at(servo); }
    QSlider *vscServo(int servo) const;
    QLabel *lblServoValue(int servo) const;
    QPushButton *cmdCenter(int servo) const;
    QPushButton *cmdLog(int servo) const;
    QLineEdit *Text1() const { return m_pauseText; }
    QPushButton *cmdInsertPause() const { return m_insertPause; }
    QPushButton *cmdBrowseWav() const { return m_browseWav; }
    QListView *File1() const { return m_scripts; }
    QPushButton *cmdInsertScript() const { return m_insertScript; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void vscServo_Change(int servo, int value);
    void vscServo_Scroll(int servo, int value);
    void cmdCenter_Click(int servo);
    void cmdLog_Click(int servo);
    void cmdInsertPause_Click();
    void cmdInsertScript_Click();
    void cmdBrowseWav_Click();
    void File1_ContextMenu(const QPoint &pos);
    void Text1_GotFocus();
    bool portOpen() const;
    void capture(int servo, int value);
    void selectFirstVisibleScript();
    void showLabel(int servo);
    void showPosition(int servo);
    void showEnabled(int servo);

    ServoModel &m_servos;
    ProgramListing &m_listing;
    const ProgramPropertyStore &m_properties;
    ServoLink &m_link;
    QMenu *m_scriptsMenu = nullptr;
    TakeRecorder *m_recorder = nullptr;
    RecordBar *m_recordBar = nullptr;
    std::array<ServoPanel *, kServoCount> m_panels{};
    QGroupBox *m_pauseFrame;
    QLineEdit *m_pauseText;
    QPushButton *m_insertPause;
    QGroupBox *m_wavFrame;
    QPushButton *m_browseWav;
    QGroupBox *m_scriptFrame;
    QListView *m_scripts;
    QPushButton *m_insertScript;
    QVBoxLayout *m_tools;
};
