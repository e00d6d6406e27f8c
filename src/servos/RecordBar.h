#pragma once

#include <QGroupBox>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class TakeRecorder;

/// The mark a take shows while it is recorded: a red dot and the time since its start.
QString RecordingMarkText(qint64 elapsedMs);

/// "Save Take As Script...": the Save Script As dialog for the recorder's last take.
void SaveTakeAsScript(TakeRecorder &recorder, QWidget *owner);

/// The Servo Controller's frame for recording takes: the Record button, the red
/// mark with the elapsed time while recording, "Record over the program" and the
/// thinning tolerance. It shows the recorder's state and hands the clicks to it.
class RecordBar final : public QGroupBox
{
    Q_OBJECT
public:
    explicit RecordBar(TakeRecorder &recorder, QWidget *parent = nullptr);

    QPushButton *cmdRecord() const { return m_record; }
    QLabel *lblRecording() const { return m_mark; }
    QCheckBox *chkOverdub() const { return m_overdub; }
    QSpinBox *spnTolerance() const { return m_tolerance; }

private:
    void showState();

    TakeRecorder &m_recorder;
    QPushButton *m_record;
    QLabel *m_mark;
    QCheckBox *m_overdub;
    QSpinBox *m_tolerance;
};
