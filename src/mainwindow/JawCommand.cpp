#include "mainwindow/JawCommand.h"

#include "app/DataPaths.h"
#include "app/ProgramPropertyStore.h"
#include "app/ServoModel.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/frmJawMoves.h"
#include "platform/ErrorReport.h"
#include "platform/MessageService.h"
#include "platform/NumericText.h"
#include "program/ProgramListing.h"
#include "timeline/TimelineDock.h"
#include "timeline/TimelineView.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {

const QString kStepName = QStringLiteral("Generate Moves");

} // namespace

JawCommand::JawCommand(MainActions &actions, ProgramListing &listing, const ProgramPropertyStore &properties,
                       const ServoModel &servos, TimelineDock &timeline, QWidget &owner)
    : QObject(&owner)
    , m_actions(actions)
    , m_listing(listing)
    , m_properties(properties)
    , m_servos(servos)
    , m_timeline(timeline)
    , m_owner(owner)
{
    QMenu *popup = actions.ExecEditMenu();
    // The listing's popup names its line in its Tag as it opens.
    connect(popup, &QMenu::aboutToShow, this,
            [this, popup] { m_target = WholeNumber32(popup->property("Tag").toString()).value_or(-1); });
    connect(actions.Item(QStringLiteral("miGenerateMoves")), &QAction::triggered, this, [this] { Generate(m_target); });
    connect(&timeline.View(), &TimelineView::soundMenuRequested, this, &JawCommand::showSoundMenu);
}

void JawCommand::showSoundMenu(int line, const QPoint &globalPos)
{
    m_target = line;
    auto *menu = new QMenu(&m_timeline.View());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(m_actions.Item(QStringLiteral("miGenerateMoves")));
    m_actions.Item(QStringLiteral("miGenerateMoves"))->setEnabled(true);
    menu->addSeparator();
    menu->addActions(m_timeline.View().ExportActions());
    menu->popup(globalPos);
}

JawSettings JawCommand::startSettings() const
{
    if (m_last)
        return *m_last;
    const ProgramProperties &props = m_properties.Properties();
    JawSettings settings;
    settings.closed = WholeNumber32(props.ServoCenter).value_or(settings.closed);
    settings.open = WholeNumber32(props.ServoMax).value_or(settings.open);
    for (int servo = kServoCount - 1; servo >= 0; --servo) {
        if (m_servos.Enabled(servo))
            settings.servo = servo;
    }
    return settings;
}

TakeLines JawCommand::generated(int line, const JawSettings &settings) const
{
    return JawMoves::OverProgram(line, m_listing.Items(), m_properties.Properties(), settings,
                                 DataPaths::ScriptsFolder(), DataPaths::UserDataFolder());
}

void JawCommand::Generate(int line)
{
    Reported(QStringLiteral("miGenerateMoves_Click"), [&] {
        JawSettings settings = startSettings();
        TakeLines out = generated(line, settings);
        if (!out.refusal.isEmpty()) {
            ShowUserMessage(out.refusal, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        const ProgramProperties &props = m_properties.Properties();
        QStringList labels;
        for (int servo = 0; servo < kServoCount; ++servo)
            labels.append(m_servos.Label(servo));
        frmJawMoves dialog(settings, labels, WholeNumber32(props.ServoMin).value_or(0),
                           WholeNumber32(props.ServoMax).value_or(254), &m_owner);
        const auto preview = [&] {
            if (!out.refusal.isEmpty()) {
                dialog.SetNote(out.refusal);
                return;
            }
            dialog.SetNote(out.merged > 0 ? QStringLiteral("%1 moves come faster than the Inter-Instruction Delay "
                                                           "(%2 ms) lets lines go and were merged into later ones.")
                                                .arg(out.merged)
                                                .arg(props.InterInstructionDelay)
                                          : QString());
            m_timeline.SetPreview(out.lines);
        };
        // A burst of changes (a held arrow key) is worked out once.
        QTimer again;
        again.setSingleShot(true);
        connect(&again, &QTimer::timeout, &dialog, [&] {
            settings = dialog.Settings();
            out = generated(line, settings);
            preview();
        });
        connect(&dialog, &frmJawMoves::settingsChanged, &again, qOverload<>(&QTimer::start));
        const bool shown = m_timeline.isVisible();
        m_timeline.show();
        preview();
        const int answer = dialog.exec();
        m_timeline.SetPreview(std::nullopt);
        m_timeline.setVisible(shown);
        if (answer != QDialog::Accepted)
            return;
        if (settings != dialog.Settings() || again.isActive()) {
            settings = dialog.Settings();
            out = generated(line, settings);
        }
        if (!out.refusal.isEmpty()) {
            ShowUserMessage(out.refusal, MsgButtons::Ok, MsgIcon::Exclamation);
            return;
        }
        m_last = settings;
        m_listing.ReplaceLines(0, int(m_listing.Items().size()), out.lines, kStepName);
    });
}
