#include "servos/RecordBar.h"

#include "app/DataPaths.h"
#include "library/frmSaveScript.h"
#include "servos/TakeRecorder.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

QString RecordingMarkText(qint64 elapsedMs)
{
    const qint64 tenths = elapsedMs / 100;
    return QStringLiteral("\u25CF %1:%2.%3")
        .arg(tenths / 600)
        .arg(tenths / 10 % 60, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

void SaveTakeAsScript(TakeRecorder &recorder, QWidget *owner)
{
    if (!recorder.HasTake() || recorder.Recording())
        return;
    const QString folder = DataPaths::ScriptsFolder();
    frmSaveScript dialog(
        folder, [&recorder, &folder](const QString &name) { return recorder.SaveTakeAsScript(folder, name); }, owner);
    dialog.exec();
}

RecordBar::RecordBar(TakeRecorder &recorder, QWidget *parent)
    : QGroupBox(QStringLiteral("Recording"), parent)
    , m_recorder(recorder)
    , m_record(new QPushButton(QStringLiteral("&Record"), this))
    , m_mark(new QLabel(this))
    , m_overdub(new QCheckBox(QStringLiteral("Record over\nthe &program"), this))
    , m_tolerance(new QSpinBox(this))
{
    setObjectName(QStringLiteral("RecordBar"));
    m_record->setObjectName(QStringLiteral("cmdRecord"));
    m_mark->setObjectName(QStringLiteral("lblRecording"));
    m_overdub->setObjectName(QStringLiteral("chkOverdub"));
    m_tolerance->setObjectName(QStringLiteral("spnTolerance"));

    m_record->setCheckable(true);
    m_record->setToolTip(QStringLiteral("Record the sliders' moves as a take (Ctrl+R); again to stop and add its "
                                        "lines, Escape to throw it away."));
    m_overdub->setToolTip(QStringLiteral("Play the program once while recording and merge the take into it."));
    auto *toleranceLabel = new QLabel(QStringLiteral("&Tolerance:"), this);
    toleranceLabel->setBuddy(m_tolerance);
    m_tolerance->setRange(0, TakeRecorder::kMaxTolerance);
    m_tolerance->setToolTip(QStringLiteral("Moves within this many positions of the one held are left out; 0 keeps "
                                           "every move."));
    m_tolerance->setAccessibleName(QStringLiteral("Tolerance in positions"));
    m_tolerance->findChild<QLineEdit *>()->setAccessibleName(m_tolerance->accessibleName());
    // Red, as a recording mark is everywhere; bold so that it reads on any theme.
    m_mark->setStyleSheet(QStringLiteral("QLabel { color: #d00000; font-weight: bold; }"));
    // Room for the bold mark before it shows, so the time is never cut off.
    QFont markFont = m_mark->font();
    markFont.setBold(true);
    m_mark->setMinimumWidth(QFontMetrics(markFont).horizontalAdvance(RecordingMarkText(9 * 60'000 + 59'900)) + 2);
    m_mark->setAccessibleName(QStringLiteral("Recording time"));
    m_record->setAutoDefault(false);
    // A bold caption, as the other tools have; the controls keep the normal font.
    QFont normal = font();
    normal.setBold(false);
    QFont bold = normal;
    bold.setBold(true);
    setFont(bold);
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        child->setFont(normal);

    // A frame of the tools' column, under the others: the window keeps its size.
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(4, 2, 4, 4);
    column->setSpacing(3);
    auto *record = new QHBoxLayout;
    record->addWidget(m_record);
    record->addWidget(m_mark, 1);
    column->addLayout(record);
    column->addWidget(m_overdub);
    auto *tolerance = new QHBoxLayout;
    tolerance->addWidget(toleranceLabel);
    tolerance->addWidget(m_tolerance, 1);
    column->addLayout(tolerance);
    // The mark's room is kept, so that nothing moves under the pointer when it shows.
    m_mark->setMinimumHeight(m_mark->fontMetrics().height());
    m_overdub->setAccessibleName(QStringLiteral("Record over the program"));

    m_overdub->setChecked(m_recorder.Overdub());
    m_tolerance->setValue(m_recorder.Tolerance());
    connect(m_record, &QPushButton::clicked, this, [this] {
        m_recorder.Toggle();
        showState(); // a refused start leaves the button up
    });
    connect(m_overdub, &QCheckBox::toggled, &m_recorder, &TakeRecorder::SetOverdub);
    connect(m_tolerance, &QSpinBox::valueChanged, &m_recorder, &TakeRecorder::SetTolerance);
    connect(&m_recorder, &TakeRecorder::stateChanged, this, &RecordBar::showState);
    connect(&m_recorder, &TakeRecorder::elapsedChanged, this,
            [this](qint64 ms) { m_mark->setText(m_recorder.Recording() ? RecordingMarkText(ms) : QString()); });
    showState();
}

void RecordBar::showState()
{
    const bool recording = m_recorder.Recording();
    m_record->setChecked(recording);
    m_record->setEnabled(m_recorder.Available());
    // What the take is recorded over is fixed once it starts.
    m_overdub->setEnabled(!recording);
    if (!recording)
        m_mark->clear();
}
