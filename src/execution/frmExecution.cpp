#include "execution/frmExecution.h"

#include "execution/ExecutionController.h"
#include "execution/ProgramListView.h"
#include "platform/ondProgressBar.h"
#include "program/ProgramListing.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

frmExecution::frmExecution(ExecutionController &controller, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("frmExecution"));
    setWindowTitle(QStringLiteral("Execution Controller"));

    auto *modes = new QGroupBox(QStringLiteral("Execution Mode"), this);
    auto *modesLayout = new QVBoxLayout(modes);
    const QStringList captions{QStringLiteral("Execute once."),
                               QStringLiteral("Loop until \"Stop\" button is pressed."),
                               QStringLiteral("Run to selected instruction."), QStringLiteral("Step one line.")};
    for (int i = 0; i < 4; ++i) {
        m_opt[i] = new QRadioButton(captions.at(i), modes);
        m_opt[i]->setObjectName(QStringLiteral("optExecOpt%1").arg(i));
        modesLayout->addWidget(m_opt[i]);
        connect(m_opt[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                m_controller.SetMode(ExecutionMode(i));
        });
    }
    m_opt[int(m_controller.Mode())]->setChecked(true);
    connect(&m_controller, &ExecutionController::modeChanged, this,
            [this](ExecutionMode mode) { m_opt[int(mode)]->setChecked(true); });

    ProgramListing &listing = m_controller.Listing();
    m_list = new ProgramListView(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setToolTip(QStringLiteral("Program instructions."));
    m_list->setUniformItemSizes(true);
    m_list->setModel(&listing);
    m_list->setSelectionModel(&listing.Selection());
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListView::clicked, this,
            [&listing](const QModelIndex &index) { listing.ListClicked(index.row()); });

    auto *commands = new QGroupBox(QStringLiteral("Execute Commands"), this);
    auto *commandsLayout = new QVBoxLayout(commands);
    auto *buttons = new QHBoxLayout;
    m_execute = new QPushButton(QStringLiteral("&Execute"), commands);
    m_execute->setObjectName(QStringLiteral("cmdExecute"));
    m_execute->setToolTip(QStringLiteral("Executes the program."));
    m_pause = new QPushButton(QStringLiteral("&Pause"), commands);
    m_pause->setObjectName(QStringLiteral("cmdPause"));
    m_pause->setToolTip(QStringLiteral("Pauses the program."));
    m_stop = new QPushButton(QStringLiteral("&Stop"), commands);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setToolTip(QStringLiteral("Stops the program"));
    buttons->addWidget(m_execute);
    buttons->addWidget(m_pause);
    buttons->addWidget(m_stop);
    commandsLayout->addLayout(buttons);
    m_progress = new ondProgressBar(commands);
    m_progress->setObjectName(QStringLiteral("ondProgressBar1"));
    m_progress->setToolTip(QStringLiteral("Percent of program completed."));
    m_progress->setMinimumHeight(18);
    m_progress->ReadProperties({});
    commandsLayout->addWidget(m_progress);
    connect(m_execute, &QPushButton::clicked, &m_controller, &ExecutionController::Execute);
    connect(m_pause, &QPushButton::clicked, &m_controller, &ExecutionController::Pause);
    connect(m_stop, &QPushButton::clicked, &m_controller, &ExecutionController::Stop);

    auto *summary = new QGroupBox(QStringLiteral("Program Summary"), this);
    auto *summaryLayout = new QGridLayout(summary);
    const QStringList names{QStringLiteral("Instruction Count:"), QStringLiteral("Mov Count:"),
                            QStringLiteral("Pause Count:"), QStringLiteral("Pause Time:"),
                            QStringLiteral("Script Count:")};
    for (int i = 0; i < 5; ++i) {
        summaryLayout->addWidget(new QLabel(names.at(i), summary), i, 0);
        m_summary[i] = new QLabel(summary);
        m_summary[i]->setObjectName(QStringLiteral("lblProgSum%1").arg(i));
        summaryLayout->addWidget(m_summary[i], i, 1);
    }

    auto *left = new QVBoxLayout;
    left->addWidget(modes);
    left->addWidget(commands);
    left->addWidget(summary);
    left->addStretch(1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(m_list, 1);

    connect(&listing, &ProgramListing::summaryChanged, this, &frmExecution::refreshSummary);
    connect(&m_controller, &ExecutionController::controlsChanged, this, &frmExecution::refreshControls);
    connect(&m_controller, &ExecutionController::progressChanged, m_progress, &ondProgressBar::SetPosition);
    // A run plays the lines as they stand: no line moves or comes in by a drop meanwhile.
    connect(&m_controller, &ExecutionController::interfaceLocked, m_list, [this](bool locked) {
        m_list->setDragDropMode(locked ? QAbstractItemView::NoDragDrop : QAbstractItemView::DragDrop);
    });

    refreshSummary();
    refreshControls();
}

void frmExecution::refreshSummary()
{
    const QStringList texts = m_controller.Listing().SummaryTexts();
    for (int i = 0; i < 5; ++i)
        m_summary[i]->setText(texts.at(i));
}

void frmExecution::refreshControls()
{
    m_execute->setEnabled(m_controller.ExecuteEnabled());
    m_pause->setEnabled(m_controller.PauseEnabled());
    m_stop->setEnabled(m_controller.StopEnabled());
}

bool frmExecution::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            // The line drawn under the pointer; the right button never moves the selection.
            const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
            if (index.isValid() && !index.data().toString().isEmpty())
                Q_EMIT listRightClicked(index.row(), mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
