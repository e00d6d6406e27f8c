#include "servos/frmServoControl.h"

#include "app/LoadedScriptsModel.h"
#include "app/ProgramPropertyStore.h"
#include "link/ServoLink.h"
#include "platform/AppError.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "platform/Services.h"
#include "program/InstructionSyntax.h"
#include "program/ProgramListing.h"
#include "servos/RecordBar.h"
#include "servos/ServoPanel.h"
#include "servos/TakeRecorder.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include <utility>

namespace {

// A pause goes in only as the listing and the program reader take it back: a
// number of whole milliseconds that fits 32 bits, no group separator, no blank.
bool isInsertablePause(const QString &text)
{
    if (text.isEmpty() || text.contains(QLatin1Char(',')))
        return false;
    return IsAcceptedInstructionLine(QStringLiteral("Pause ") + text) && WholeNumber32(text).has_value();
}

} // namespace

frmServoControl::frmServoControl(ServoModel &servos, ProgramListing &listing, const ProgramPropertyStore &properties,
                                 ServoLink &link, QWidget *parent)
    : QWidget(parent)
    , m_servos(servos)
    , m_listing(listing)
    , m_properties(properties)
    , m_link(link)
    , m_pauseFrame(new QGroupBox(QStringLiteral("Insert Pause"), this))
    , m_pauseText(new QLineEdit(QStringLiteral("0"), m_pauseFrame))
    , m_insertPause(new QPushButton(QStringLiteral("Insert"), m_pauseFrame))
    , m_wavFrame(new QGroupBox(QStringLiteral("Insert WAV"), this))
    , m_browseWav(new QPushButton(QStringLiteral("Browse.."), m_wavFrame))
    , m_scriptFrame(new QGroupBox(QStringLiteral("Insert Script"), this))
    , m_scripts(new QListView(m_scriptFrame))
    , m_insertScript(new QPushButton(QStringLiteral("Insert"), m_scriptFrame))
{
    setObjectName(QStringLiteral("frmServoControl"));
    setWindowTitle(QStringLiteral("Servo Controller"));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 2, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    for (int servo = 0; servo < kServoCount; ++servo) {
        auto *p = new ServoPanel(servo, this);
        m_panels[servo] = p;
        grid->addWidget(p, servo % 8, servo < 8 ? 0 : 2);
        connect(p->slider(), &QSlider::valueChanged, this, [this, servo](int v) { vscServo_Change(servo, v); });
        connect(p->slider(), &QSlider::sliderMoved, this, [this, servo](int v) { vscServo_Scroll(servo, v); });
        connect(p->centerButton(), &QPushButton::clicked, this, [this, servo] { cmdCenter_Click(servo); });
        connect(p->logButton(), &QPushButton::clicked, this, [this, servo] { cmdLog_Click(servo); });
    }

    m_pauseFrame->setObjectName(QStringLiteral("fraInsertPause"));
    m_pauseText->setObjectName(QStringLiteral("Text1"));
    m_insertPause->setObjectName(QStringLiteral("cmdInsertPause"));
    m_pauseText->setToolTip(QStringLiteral("Pause value."));
    m_insertPause->setToolTip(QStringLiteral("Insert a pause command."));
    // The button below the box, as in Insert Script: beside it, it left the narrow column's box
    // room for three characters.
    auto *pause = new QVBoxLayout(m_pauseFrame);
    pause->setContentsMargins(4, 2, 4, 4);
    pause->setSpacing(3);
    pause->addWidget(m_pauseText);
    pause->addWidget(m_insertPause);
    m_pauseText->installEventFilter(this);
    connect(m_pauseText, &QLineEdit::returnPressed, this, &frmServoControl::cmdInsertPause_Click);
    connect(m_insertPause, &QPushButton::clicked, this, &frmServoControl::cmdInsertPause_Click);

    m_wavFrame->setObjectName(QStringLiteral("fraInsertWav"));
    m_browseWav->setObjectName(QStringLiteral("cmdBrowseWav"));
    auto *wav = new QHBoxLayout(m_wavFrame);
    wav->setContentsMargins(4, 2, 4, 4);
    wav->addWidget(m_browseWav);
    connect(m_browseWav, &QPushButton::clicked, this, &frmServoControl::cmdBrowseWav_Click);

    m_scriptFrame->setObjectName(QStringLiteral("fraInsertScript"));
    m_scripts->setObjectName(QStringLiteral("File1"));
    m_insertScript->setObjectName(QStringLiteral("cmdInsertScript"));
    m_insertScript->setToolTip(QStringLiteral("Insert the selected script."));
    m_scripts->setModel(new LoadedScriptsModel(m_servos, m_scripts));
    m_scripts->setContextMenuPolicy(Qt::CustomContextMenu);
    // The list takes the room its column has left, no more: the recording frame
    // below it must not make the window taller than its eight panels.
    m_scripts->setMinimumHeight(m_scripts->minimumSizeHint().height());
    m_scripts->setSizePolicy(m_scripts->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
    auto *script = new QVBoxLayout(m_scriptFrame);
    script->setContentsMargins(4, 2, 4, 4);
    script->setSpacing(3);
    script->addWidget(m_scripts, 1);
    script->addWidget(m_insertScript);
    connect(m_insertScript, &QPushButton::clicked, this, &frmServoControl::cmdInsertScript_Click);
    connect(m_scripts, &QWidget::customContextMenuRequested, this, &frmServoControl::File1_ContextMenu);

    for (QPushButton *b : {m_insertPause, m_browseWav, m_insertScript})
        b->setAutoDefault(false);

    m_tools = new QVBoxLayout;
    m_tools->setSpacing(4);
    m_tools->addWidget(m_pauseFrame);
    m_tools->addWidget(m_wavFrame);
    m_tools->addWidget(m_scriptFrame, 1);
    grid->addLayout(m_tools, 0, 1, 8, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);

    // The keyboard reads the window as the eye does: the left column of
    // servos, the tools between the columns, then the right column.
    QList<QWidget *> order;
    const auto addPanels = [&order, this](int first) {
        for (int servo = first; servo < first + kServoCount / 2; ++servo)
            order << cmdCenter(servo) << vscServo(servo) << cmdLog(servo);
    };
    addPanels(0);
    order << m_pauseText << m_insertPause << m_browseWav << m_scripts << m_insertScript;
    addPanels(kServoCount / 2);
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    m_pauseText->setAccessibleName(QStringLiteral("Pause value"));
    m_scripts->setAccessibleName(QStringLiteral("Loaded scripts"));

    const int toolWidth = fontMetrics().horizontalAdvance(QStringLiteral("Insert Script")) * 3 / 2 + 16;
    for (QGroupBox *f : {m_pauseFrame, m_wavFrame, m_scriptFrame})
        f->setFixedWidth(toolWidth);

    connect(&m_servos, &ServoModel::labelChanged, this, &frmServoControl::showLabel);
    connect(&m_servos, &ServoModel::enabledChanged, this, &frmServoControl::showEnabled);
    connect(&m_servos, &ServoModel::positionChanged, this, &frmServoControl::showPosition);
    // After the list's model: the new rows are there to select.
    connect(&m_servos, &ServoModel::loadedScriptsChanged, this, &frmServoControl::selectFirstVisibleScript);
    for (int servo = 0; servo < kServoCount; ++servo) {
        showEnabled(servo);
        showPosition(servo);
    }
    selectFirstVisibleScript();
}

void frmServoControl::SetRecorder(TakeRecorder &recorder)
{
    m_recorder = &recorder;
    m_recordBar = new RecordBar(recorder, this);
    m_recordBar->setFixedWidth(m_scriptFrame->width());
    m_tools->addWidget(m_recordBar);
    QWidget *previous = cmdLog(kServoCount - 1);
    const QList<QWidget *> bar{m_recordBar->cmdRecord(), m_recordBar->chkOverdub(), m_recordBar->spnTolerance()};
    for (QWidget *next : bar)
        setTabOrder(std::exchange(previous, next), next);
}

void frmServoControl::Load()
{
    Reported(QStringLiteral("0082"), [&] {
        const ProgramProperties p = m_properties.Properties();
        for (int servo = 0; servo < kServoCount; ++servo) {
            showLabel(servo);
            QSlider *s = vscServo(servo);
            s->setValue(ToInteger(p.ServoCenter));
            s->setMaximum(ToInteger(p.ServoMax));
            s->setMinimum(ToInteger(p.ServoMin));
            lblServoValue(servo)->setToolTip(QStringLiteral("Servo Value"));
            cmdLog(servo)->setToolTip(QStringLiteral("Log the current position."));
            cmdCenter(servo)->setToolTip(QStringLiteral("Center the servo."));
        }
        for (QGroupBox *f : {m_pauseFrame, m_scriptFrame}) {
            QFont normal = font();
            normal.setBold(false);
            QFont bold = normal;
            bold.setBold(true);
            f->setFont(bold);
            for (QWidget *child : f->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                child->setFont(normal);
        }
    });
}

QSlider *frmServoControl::vscServo(int servo) const
{
    return m_panels.at(servo)->slider();
}

QLabel *frmServoControl::lblServoValue(int servo) const
{
    return m_panels.at(servo)->valueLabel();
}

QPushButton *frmServoControl::cmdCenter(int servo) const
{
    return m_panels.at(servo)->centerButton();
}

QPushButton *frmServoControl::cmdLog(int servo) const
{
    return m_panels.at(servo)->logButton();
}

void frmServoControl::SetSliderRange(int servo, int minimum, int maximum)
{
    QSlider *s = vscServo(servo);
    s->setMaximum(maximum);
    s->setMinimum(minimum);
}

void frmServoControl::SetSliderValue(int servo, int value)
{
    vscServo(servo)->setValue(value);
}

void frmServoControl::showLabel(int servo)
{
    m_panels.at(servo)->setCaption(m_servos.Label(servo));
}

void frmServoControl::showPosition(int servo)
{
    // Only shown: a position set elsewhere (a run, the all-servo buttons) sends nothing from here.
    const QSignalBlocker quiet(vscServo(servo));
    vscServo(servo)->setValue(m_servos.Position(servo));
    lblServoValue(servo)->setText(QString::number(m_servos.Position(servo)));
}

void frmServoControl::showEnabled(int servo)
{
    // The frame carries its slider, label and buttons with it.
    m_panels.at(servo)->setEnabled(m_servos.Enabled(servo));
}

bool frmServoControl::portOpen() const
{
    return m_link.PortOpen();
}

void frmServoControl::vscServo_Change(int servo, int value)
{
    Reported(QStringLiteral("0085"), [&] {
        // A disabled slider moves only by code (the all-servo buttons, a
        // configuration): it sends nothing, and the model still takes the value.
        if (vscServo(servo)->isEnabled()) {
            if (portOpen())
                m_link.MoveLive(servo, value);
            capture(servo, value);
        }
        m_servos.SetPosition(servo, qint16(value));
    });
}

void frmServoControl::vscServo_Scroll(int servo, int value)
{
    if (!vscServo(servo)->isEnabled())
        return;
    Reported(QStringLiteral("0086"), [&] {
        if (portOpen())
            m_link.MoveLive(servo, value);
        capture(servo, value);
        lblServoValue(servo)->setText(QString::number(value));
    });
}

void frmServoControl::capture(int servo, int value)
{
    // Online the take keeps what the link sends, when it sends it (the link
    // hands its frames to the recorder); Offline a take needs no board.
    if (m_recorder && !portOpen())
        m_recorder->Capture(servo, value);
}

void frmServoControl::cmdCenter_Click(int servo)
{
    Reported(QStringLiteral("0077"), [&] {
        const QString center = m_properties.Properties().ServoCenter;
        const qint16 value = ToInteger(center);
        if (portOpen())
            m_link.SendServoFrame(servo, value);
        vscServo(servo)->setValue(value);
    });
}

void frmServoControl::cmdLog_Click(int servo)
{
    LogServoPosition(servo);
}

void frmServoControl::LogServoPosition(int servo)
{
    Reported(QStringLiteral("0087"), [&] {
        m_listing.AppendLine(QStringLiteral("Mov ") + QString::number(servo) + QLatin1Char(',') +
                                 QString::number(m_servos.Position(servo)),
                             QStringLiteral("Log"));
    });
}

void frmServoControl::InsertWAV(const QString &sPath)
{
    Reported(QStringLiteral("InsertWAV"),
             [&] { m_listing.AppendLine(QStringLiteral("WAV ") + sPath, QStringLiteral("Insert WAV")); });
}

void frmServoControl::cmdInsertPause_Click()
{
    Reported(QStringLiteral("0079"), [&] {
        const QString text = m_pauseText->text();
        if (!isInsertablePause(text)) {
            ShowUserMessage(QStringLiteral("The Pause value is invalid."), MsgButtons::OkCancel, MsgIcon::Information);
            m_pauseText->setText(QStringLiteral("0"));
            m_pauseText->setFocus();
            m_pauseText->selectAll();
            return;
        }
        m_listing.AppendLine(QStringLiteral("Pause ") + text, QStringLiteral("Insert Pause"));
        m_pauseText->setText(QStringLiteral("0"));
    });
}

void frmServoControl::cmdInsertScript_Click()
{
    Reported(QStringLiteral("0080"), [&] {
        const QModelIndex current = m_scripts->currentIndex();
        if (!current.isValid() || !m_scripts->selectionModel()->isSelected(current)) {
            ShowUserMessage(QStringLiteral("You must first select a script file to insert."), MsgButtons::OkCancel,
                            MsgIcon::Information);
            return;
        }
        m_listing.AppendLine(QStringLiteral("Script ") + ScriptFileName(current.data().toString()),
                             QStringLiteral("Insert Script"));
    });
}

void frmServoControl::cmdBrowseWav_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Insert WAV File...");
    request.filter = QStringLiteral("WAV Files    *.wav|*.wav");
    request.fileName = QString();
    const QString chosen = Services::fileDialogs().choose(request);
    if (!chosen.isEmpty())
        InsertWAV(chosen);
}

void frmServoControl::File1_ContextMenu(const QPoint &pos)
{
    if (m_scriptsMenu)
        m_scriptsMenu->popup(m_scripts->viewport()->mapToGlobal(pos));
}

void frmServoControl::Text1_GotFocus()
{
    // After the click that gave the focus has placed the cursor.
    QTimer::singleShot(0, m_pauseText, &QLineEdit::selectAll);
}

bool frmServoControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_pauseText && event->type() == QEvent::FocusIn)
        Text1_GotFocus();
    return QWidget::eventFilter(watched, event);
}

void frmServoControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    selectFirstVisibleScript();
}

void frmServoControl::selectFirstVisibleScript()
{
    // Keeps a script ready to insert; an empty list stays without selection.
    if (m_scripts->model()->rowCount() == 0)
        return;
    const QModelIndex top = m_scripts->indexAt(QPoint(0, 0));
    m_scripts->setCurrentIndex(top.isValid() ? top : m_scripts->model()->index(0, 0));
}
