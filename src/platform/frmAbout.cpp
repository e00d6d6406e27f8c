#include "platform/frmAbout.h"

#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/Version.h"
#include "platform/WebAddress.h"
#include "platform/WindowFrame.h"
#include "platform/cRegistry.h"
#include "platform/mShellExecute.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

const QStringList frmAbout::kSystemInfoTools = {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo"),
                                                QStringLiteral("gnome-system-monitor"),
                                                QStringLiteral("mate-system-monitor")};
const QString frmAbout::kSystemInfoValue = QStringLiteral("System Info Tool");

namespace {

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setWordWrap(true);
    return l;
}

// A tool named by its path, or by a name found on PATH.
QString toolPath(const QString &tool)
{
    if (tool.contains(QLatin1Char('/'))) {
        const QFileInfo info(tool);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(tool);
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : QDialog(owner)
    , m_title(label("lblTitle", QString(), this))
    , m_version(label("lblVersion", QString(), this))
    , m_link(label("Label3", QString(), this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_sysInfo(new QPushButton(QStringLiteral("&System Info..."), this))
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    if (owner)
        picIcon->setPixmap(owner->windowIcon().pixmap(32, 32));

    QFont title = m_title->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    m_title->setFont(title);
    auto *description = label("lblDescription",
                              QStringLiteral("Taveloq was written by the Taveloq Team, people who build animatronic "
                                             "figures from hobby servos and wanted one place to pose, play and "
                                             "export them."),
                              this);
    auto *invitation = label("Label1",
                             QStringLiteral("Come and see what others have built, fetch new versions and tell us "
                                            "what you miss, on our web site:"),
                             this);
    m_link->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kWebAddress)));
    m_link->setTextInteractionFlags(Qt::NoTextInteraction);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->installEventFilter(this);
    auto *notice = label("Label2", QStringLiteral("Copyright (C) 2026 The Taveloq Team. All rights reserved."), this);
    auto *disclaimer = label("lblDisclaimer",
                             QStringLiteral("Warning: this program is provided as it is, without warranty of any "
                                            "kind. Servos move with force and without warning: keep fingers, hair "
                                            "and cables clear of a figure while a program plays, and test new "
                                            "programs with the figure's power supply at hand."),
                             this);
    QFont small = disclaimer->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    disclaimer->setFont(small);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));

    auto *grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picIcon, 0, 0, 6, 1);
    grid->addWidget(m_title, 0, 1);
    grid->addWidget(m_version, 1, 1);
    grid->addWidget(description, 2, 1);
    grid->addWidget(invitation, 3, 1);
    grid->addWidget(m_link, 4, 1);
    grid->addWidget(notice, 5, 1);
    grid->addWidget(disclaimer, 6, 0, 1, 2);
    // Its own spacing: the grid's differs across and down, which leaves a nested row none.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_sysInfo);
    grid->addLayout(buttons, 7, 0, 1, 2);
    // About 460 pixels with the usual font; a larger font widens it rather than squeezing the margins.
    setMinimumWidth(fontMetrics().averageCharWidth() * 77);

    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    if (owner)
        setWindowIcon(owner->windowIcon());
    setWindowTitle(QStringLiteral("About Taveloq"));
    m_version->setText(QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    m_title->setText(QStringLiteral("Taveloq"));
    FixDialogSize(*this);
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        mShellExecute::GShell(QLatin1String(kWebAddress));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::StartSysInfo()
{
    // The user's own choice first, then the usual desktops' tools.
    QStringList tools = kSystemInfoTools;
    QString chosen;
    if (GetKeyValue(cRegistry::CurrentUser, cRegistry::AppKey().SectionKey(), kSystemInfoValue, chosen) &&
        !chosen.isEmpty())
        tools.prepend(chosen);
    for (const QString &tool : std::as_const(tools)) {
        const QString path = toolPath(tool);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    Services::messages().show({kErrorReportTitle, QStringLiteral("System Information Is Unavailable At This Time"),
                               MsgButtons::OkCancel, MsgIcon::None});
}

bool frmAbout::GetKeyValue(quint32 keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal)
{
    cRegistry reg;
    reg.SetClassKey(keyRoot);
    reg.SetSectionKey(keyName);
    reg.SetValueKey(subKeyRef);
    const QVariant value = reg.Value();
    if (!value.isValid())
        return false;
    keyVal = reg.ValueType() == cRegistry::Number ? QStringLiteral("&h") + QString::number(quint32(value.toInt()), 16)
                                                  : value.toString();
    return true;
}
