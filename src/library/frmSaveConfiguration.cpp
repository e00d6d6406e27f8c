#include "library/frmSaveConfiguration.h"

#include "platform/WindowFrame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <utility>

namespace {

struct Box
{
    ConfigSection section;
    const char *name;
    const char *caption;
};

// Grouped as the dialog shows them.
const Box kServoBoxes[] = {{ConfigSection::ServoPos, "chkServoPos", "Servo Positions"},
                           {ConfigSection::ServoLabels, "chkServoLabels", "Servo Labels"},
                           {ConfigSection::ServoStatus, "chkServoStatus", "Servo Status (Enabled / Disabled)"}};
const Box kEnvironmentBoxes[] = {{ConfigSection::Properties, "chkProperties", "Properties"},
                                 {ConfigSection::WindowPos, "chkWindowPos", "Window Position"},
                                 {ConfigSection::Scripts, "chkScripts", "Available Scripts"},
                                 {ConfigSection::CurrentProgram, "chkCurrentProgram", "Current Program"},
                                 {ConfigSection::Export, "chkExport", "Export Settings"}};
const Box kExecutionBoxes[] = {{ConfigSection::ExecutionMode, "chkExecutionMode", "Execution Mode"},
                               {ConfigSection::SelectedInstruction, "chkSelectedInstruction", "Selected Instruction"}};

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmSaveConfiguration::frmSaveConfiguration(bool programOpen, SaveFunction save, RestoreFunction restore,
                                           QWidget *parent)
    : QDialog(parent)
    , m_saveFunction(std::move(save))
    , m_restoreFunction(std::move(restore))
{
    setObjectName(QStringLiteral("frmSaveConfiguration"));
    setWindowTitle(QStringLiteral("Save Configuration - Options"));
    setModal(true);

    // The choices scroll on a screen too low for all of them; the buttons stay in view.
    auto *choices = new QWidget(this);
    auto *layout = new QVBoxLayout(choices);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto group = [choices, layout, this](const QString &title, const auto &boxes) {
        auto *frame = new QGroupBox(title, choices);
        auto *column = new QVBoxLayout(frame);
        for (const Box &b : boxes) {
            auto *check = new QCheckBox(QString::fromLatin1(b.caption), frame);
            check->setObjectName(QString::fromLatin1(b.name));
            column->addWidget(check);
            m_checks.at(int(b.section)) = check;
        }
        layout->addWidget(frame);
        return frame;
    };
    group(QStringLiteral("Servo Information"), kServoBoxes);
    group(QStringLiteral("Environment Information"), kEnvironmentBoxes);
    group(QStringLiteral("Execution Information"), kExecutionBoxes);

    auto *options = new QGroupBox(QStringLiteral("Configuration Options"), choices);
    auto *optionsLayout = new QVBoxLayout(options);
    m_startUp = new QCheckBox(QStringLiteral("Load Configuration On Start-Up"), options);
    m_startUp->setObjectName(QStringLiteral("chkStartUp"));
    optionsLayout->addWidget(m_startUp);
    const QString captions[] = {QStringLiteral("Next Time Only"), QStringLiteral("Every Time")};
    for (int i = 0; i < 2; ++i) {
        m_options.at(i) = new QRadioButton(captions[i], options);
        m_options.at(i)->setObjectName(QStringLiteral("optStartUp%1").arg(i));
        m_options.at(i)->setEnabled(false);
        optionsLayout->addWidget(m_options.at(i));
    }
    m_options.at(0)->setChecked(true);
    layout->addWidget(options);
    auto *outer = new QVBoxLayout(this);
    outer->addWidget(ScrollingBody(choices, this), 1);

    auto *buttons = new QGridLayout;
    m_save = button(QStringLiteral("&Save As..."), "cmdSaveAs", this);
    m_cancel = button(QStringLiteral("&Cancel"), "cmdCancel", this);
    m_checkAll = button(QStringLiteral("Check &All"), "cmdCheckAll", this);
    m_restore = button(QStringLiteral("Restore Start-Up Defaults"), "cmdRestore", this);
    buttons->addWidget(m_checkAll, 0, 0);
    buttons->addWidget(m_restore, 0, 1);
    buttons->addWidget(m_save, 1, 0);
    buttons->addWidget(m_cancel, 1, 1);
    outer->addLayout(buttons);

    Check(ConfigSection::CurrentProgram)->setEnabled(programOpen);
    FixDialogSize(*this);

    connect(m_startUp, &QCheckBox::clicked, this, &frmSaveConfiguration::chkStartUp_Click);
    connect(m_checkAll, &QPushButton::clicked, this, &frmSaveConfiguration::cmdCheckAll_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_restore, &QPushButton::clicked, this, [this] { m_restoreFunction(); });
    connect(m_save, &QPushButton::clicked, this, [this] {
        if (m_saveFunction(Choice()))
            accept();
    });
}

ConfigurationChoice frmSaveConfiguration::Choice() const
{
    ConfigurationChoice choice;
    for (int i = 0; i < kConfigSectionCount; ++i)
        choice.saved.at(i) = m_checks.at(i)->isChecked();
    choice.loadOnStartUp = m_startUp->isChecked();
    choice.everyTime = m_options.at(1)->isChecked();
    return choice;
}

void frmSaveConfiguration::chkStartUp_Click()
{
    for (QRadioButton *option : m_options)
        option->setEnabled(m_startUp->isChecked());
}

void frmSaveConfiguration::cmdCheckAll_Click()
{
    for (QCheckBox *check : m_checks) {
        if (check->isEnabled())
            check->setChecked(true);
    }
    m_startUp->setChecked(true);
    chkStartUp_Click();
}
