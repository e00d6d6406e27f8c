#include "export/frmExportPBASIC.h"

#include "app/ExportSettingsStore.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "export/BasicExport.h"
#include "platform/ErrorReport.h"
#include "platform/FileDialogService.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/ondProgressBar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

void showUserMessage(const QString &text)
{
    // The answer is not used: the run stops either way.
    Services::messages().show({kUserMessageTitle, text, MsgButtons::OkCancel, MsgIcon::Critical});
}

} // namespace

frmExportPBASIC::frmExportPBASIC(const ProgramListing &listing, const ProgramPropertyStore &properties,
                                 const ServoModel &servos, ExportSettingsStore &settings, QWidget *parent)
    : QDialog(parent)
    , m_listing(listing)
    , m_properties(properties)
    , m_servos(servos)
    , m_settings(settings)
    , m_combo1(new QComboBox(this))
    , m_combo2(new QComboBox(this))
    , m_check1(new QCheckBox(QStringLiteral("Loop Code"), this))
    , m_progress(new ondProgressBar(this))
    , m_label1(new QLabel(this))
    , m_command1(new QPushButton(QStringLiteral("&OK"), this))
    , m_command2(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmExportPBASIC"));
    setWindowTitle(QStringLiteral("Export As Basic..."));
    setModal(true);

    static const char *const kTargets[] = {"Basic Stamp I Code", "Basic Stamp II Code", "Basic Stamp SX Code",
                                           "Pic-Basic Code", "Pic-Basic Pro Code"};
    auto *frame1 = new QGroupBox(QStringLiteral("Export As..."), this);
    auto *targets = new QVBoxLayout(frame1);
    auto *targetGroup = new QButtonGroup(this);
    for (int i = 0; i < int(m_optExpVer.size()); ++i) {
        m_optExpVer[i] = new QRadioButton(QString::fromLatin1(kTargets[i]), frame1);
        targetGroup->addButton(m_optExpVer[i], i);
        targets->addWidget(m_optExpVer[i]);
    }
    targets->addStretch();

    auto *frame2 = new QGroupBox(QStringLiteral("Code Options"), this);
    auto *options = new QGridLayout(frame2);
    options->addWidget(new QLabel(QStringLiteral("Output Pin:"), frame2), 0, 0);
    options->addWidget(m_combo1, 0, 1);
    options->addWidget(new QLabel(QStringLiteral("Baud Rate:"), frame2), 1, 0);
    options->addWidget(m_combo2, 1, 1);
    auto *methodGroup = new QButtonGroup(this);
    m_optSerMethod[0] = new QRadioButton(QStringLiteral("Use SEROUT Method"), frame2);
    m_optSerMethod[1] = new QRadioButton(QStringLiteral("Use LOOKUP Method"), frame2);
    for (int i = 0; i < 2; ++i) {
        methodGroup->addButton(m_optSerMethod[i], i);
        options->addWidget(m_optSerMethod[i], 2 + i, 0, 1, 2);
    }
    options->addWidget(m_check1, 4, 0, 1, 2);

    // Placed on the dialog as a new control: without its bar it would draw nothing.
    m_progress->InitProperties();
    m_progress->SetMin(1);
    m_progress->SetMax(100);
    m_progress->setMinimumHeight(20);

    auto *frames = new QHBoxLayout;
    frames->addWidget(frame1);
    frames->addWidget(frame2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_command1);
    buttons->addWidget(m_command2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addWidget(m_progress);
    layout->addWidget(m_label1);
    layout->addLayout(buttons);
    m_command1->setDefault(true);

    const auto store = [this](qint32 ExportSettings::*field, int value) {
        ExportSettings s = m_settings.Settings();
        s.*field = value;
        m_settings.SetSettings(s);
    };
    connect(targetGroup, &QButtonGroup::idClicked, this, &frmExportPBASIC::optExpVer_Click);
    connect(methodGroup, &QButtonGroup::idClicked, this, [store](int index) { store(&ExportSettings::method, index); });
    connect(m_combo1, &QComboBox::currentIndexChanged, this, [store](int index) {
        if (index >= 0)
            store(&ExportSettings::pin, index);
    });
    connect(m_combo2, &QComboBox::currentIndexChanged, this, [store](int index) {
        if (index >= 0)
            store(&ExportSettings::baud, index);
    });
    connect(m_command1, &QPushButton::clicked, this, &frmExportPBASIC::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &QDialog::reject);

    Form_Load();
}

void frmExportPBASIC::Form_Load()
{
    // Choosing the target rebuilds the pin list and so stores pin 0; the restored
    // choices are taken first. A value outside its list falls back to the first item.
    const ExportSettings restored = BasicExport::Checked(m_settings.Settings());
    m_combo2->addItems({QStringLiteral("N2400"), QStringLiteral("N9600")});
    m_optExpVer[restored.version]->setChecked(true);
    optExpVer_Click(restored.version);
    m_combo1->setCurrentIndex(restored.pin);
    m_combo2->setCurrentIndex(restored.baud);
    m_optSerMethod[restored.method]->setChecked(true);
    ExportSettings s = m_settings.Settings();
    s.method = restored.method;
    m_settings.SetSettings(s);
    m_progress->SetSmooth(true);
}

void frmExportPBASIC::optExpVer_Click(int index)
{
    m_combo1->clear();
    m_combo1->addItems(BasicExport::PinList(index));
    if (m_combo1->count() > 0)
        m_combo1->setCurrentIndex(0);
    ExportSettings s = m_settings.Settings();
    s.version = index;
    m_settings.SetSettings(s);
}

void frmExportPBASIC::setStatus(const QString &text)
{
    m_label1->setText(text);
    m_label1->repaint();
}

void frmExportPBASIC::showStep(const QString &status, int position)
{
    // No events are processed during the run: what changed is drawn at once.
    if (status != m_label1->text())
        setStatus(status);
    if (position != m_progress->Position()) {
        m_progress->SetPosition(position);
        m_progress->repaint();
    }
}

ExportChoice frmExportPBASIC::Choice() const
{
    return {m_settings.Settings(), m_check1->isChecked()};
}

void frmExportPBASIC::Command1_Click()
{
    const ExportCommand::Outcome outcome =
        ExportCommand::FromListing(m_listing, m_properties.Properties(), m_servos.Positions(), Choice(),
                                   [this](const QString &status, int position) { showStep(status, position); });
    for (const MessageRequest &message : outcome.messages)
        Services::messages().show(message);
    if (outcome.refusal) {
        showUserMessage(*outcome.refusal);
        setStatus(QStringLiteral("File not saved..."));
        return;
    }

    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.filter = BasicExport::SaveFilter(Choice().settings.version);
    const QString fileName = Services::fileDialogs().choose(request);
    if (fileName.isEmpty()) {
        setStatus(QStringLiteral("File not saved..."));
        return;
    }
    showStep(QStringLiteral("Done"), 100);
    // After a failed write the dialog stays open for another try.
    if (!Reported(QStringLiteral("0141"), [&] { ExportCommand::Write(fileName, outcome.code); }))
        return;
    setStatus(QStringLiteral("File Saved..."));
    accept();
}
