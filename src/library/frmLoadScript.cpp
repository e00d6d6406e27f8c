#include "library/frmLoadScript.h"

#include "app/ServoModel.h"
#include "library/ScriptLibrary.h"
#include "platform/MessageService.h"
#include "platform/NamesView.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

frmLoadScript::frmLoadScript(ServoModel &servos, const QStringList &files, QWidget *parent)
    : QDialog(parent)
    , m_servos(servos)
    , m_available(NamesView(this))
    , m_loaded(NamesView(this))
    , m_add(new QPushButton(QStringLiteral(">"), this))
    , m_addAll(new QPushButton(QStringLiteral(">>"), this))
    , m_removeAll(new QPushButton(QStringLiteral("<<"), this))
    , m_remove(new QPushButton(QStringLiteral("<"), this))
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmLoadScript"));
    setWindowTitle(QStringLiteral("Load Scripts..."));
    setModal(true);
    m_available->setObjectName(QStringLiteral("lstAvailable"));
    m_loaded->setObjectName(QStringLiteral("lstLoaded"));

    auto *moves = new QVBoxLayout;
    moves->addStretch(1);
    for (QPushButton *button : {m_add, m_addAll, m_removeAll, m_remove})
        moves->addWidget(button);
    moves->addStretch(1);
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("Available Scripts"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Loaded Scripts"), this), 0, 2);
    lists->addWidget(m_available, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(m_loaded, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(buttons);
    m_ok->setDefault(true);

    connect(m_add, &QPushButton::clicked, this,
            [this] { Reported(QStringLiteral("0093"), [this] { moveSelected(m_available, m_loaded); }); });
    connect(m_addAll, &QPushButton::clicked, this,
            [this] { Reported(QStringLiteral("0094"), [this] { moveAll(m_available, m_loaded); }); });
    connect(m_removeAll, &QPushButton::clicked, this,
            [this] { Reported(QStringLiteral("0095"), [this] { moveAll(m_loaded, m_available); }); });
    connect(m_remove, &QPushButton::clicked, this,
            [this] { Reported(QStringLiteral("0096"), [this] { moveSelected(m_loaded, m_available); }); });
    connect(m_ok, &QPushButton::clicked, this, [this] { Reported(QStringLiteral("0097"), [this] { cmdOK_Click(); }); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Reported(QStringLiteral("0098"), [this] { reject(); }); });

    Reported(QStringLiteral("0099"), [this, &files] { Form_Load(files); });
}

void frmLoadScript::Form_Load(const QStringList &files)
{
    const QStringList loaded = m_servos.LoadedScripts();
    ViewNames(*m_loaded).setStringList(loaded);
    ViewNames(*m_available).setStringList(ScriptLibrary::AvailableScripts(files, loaded));
}

void frmLoadScript::moveSelected(QListView *from, QListView *to)
{
    const QModelIndex current = from->currentIndex();
    if (!current.isValid() || !from->selectionModel()->isSelected(current)) {
        ShowUserMessage(QStringLiteral("You must select a script."), MsgButtons::OkCancel, MsgIcon::Information);
        return;
    }
    QStringListModel &target = ViewNames(*to);
    const int row = target.rowCount();
    target.insertRows(row, 1);
    target.setData(target.index(row), current.data());
    ViewNames(*from).removeRows(current.row(), 1);
}

void frmLoadScript::moveAll(QListView *from, QListView *to)
{
    ViewNames(*to).setStringList(ViewNames(*to).stringList() + ViewNames(*from).stringList());
    ViewNames(*from).setStringList({});
}

void frmLoadScript::cmdOK_Click()
{
    m_servos.SetLoadedScripts(ViewNames(*m_loaded).stringList());
    accept();
}
