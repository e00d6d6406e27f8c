#include "library/frmSaveScript.h"

#include "library/ScriptLibrary.h"
#include "platform/MessageService.h"
#include "platform/NamesView.h"
#include "program/InstructionSyntax.h"
#include "program/ScriptFolder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

#include <utility>

using ScriptLibrary::SaveScriptReported;

frmSaveScript::frmSaveScript(const QString &scriptsFolder, SaveFunction save, QWidget *parent)
    : QDialog(parent)
    , m_folder(scriptsFolder)
    , m_save(std::move(save))
    , m_name(new QLineEdit(this))
    , m_files(NamesView(this))
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmSaveScript"));
    setWindowTitle(QStringLiteral("Save Script As..."));
    setModal(true);
    m_name->setObjectName(QStringLiteral("txtName"));
    m_files->setObjectName(QStringLiteral("File1"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Script Name:"), this));
    layout->addWidget(m_name);
    layout->addWidget(new QLabel(QStringLiteral("Existing Scripts:"), this));
    layout->addWidget(m_files, 1);
    layout->addLayout(buttons);
    m_ok->setDefault(true);

    connect(m_files, &QListView::clicked, this,
            [this] { SaveScriptReported(QStringLiteral("0144"), [this] { File1_Click(); }); });
    connect(m_ok, &QPushButton::clicked, this,
            [this] { SaveScriptReported(QStringLiteral("0143"), [this] { cmdOK_Click(); }); });
    connect(m_cancel, &QPushButton::clicked, this,
            [this] { SaveScriptReported(QStringLiteral("0142"), [this] { reject(); }); });

    SaveScriptReported(QStringLiteral("0145"), [this] { Form_Load(); });
}

void frmSaveScript::Form_Load()
{
    ViewNames(*m_files).setStringList(ScriptFolder::Names(m_folder));
}

void frmSaveScript::File1_Click()
{
    if (const QModelIndex current = m_files->currentIndex(); current.isValid())
        m_name->setText(current.data().toString());
}

void frmSaveScript::cmdOK_Click()
{
    const QString typed = m_name->text();
    if (!ScriptLibrary::AcceptableScriptName(typed)) {
        ShowUserMessage(QStringLiteral("The Script Name ( ") + typed + QStringLiteral(" ) is not a valid file name."),
                        MsgButtons::OkCancel, MsgIcon::Information);
        return;
    }
    const QString name = ScriptFileName(typed);
    m_name->setText(name);
    // A file spelt otherwise (letter case, Latin-1 bytes) is the same script to the user.
    if (!ScriptFolder::Find(m_folder, name).isEmpty() &&
        ShowUserMessage(ScriptLibrary::OverwriteQuestion(name), MsgButtons::YesNoCancel, MsgIcon::Question) !=
            MsgAnswer::Yes)
        return;
    // A failed write has been reported; the dialog stays for another name.
    if (m_save(name))
        accept();
}
