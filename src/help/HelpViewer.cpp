#include "help/HelpViewer.h"

#include "help/HelpBrowser.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kPageRole = Qt::UserRole;

void addTopics(QTreeWidgetItem *parent, QTreeWidget *tree, const QList<HelpTopic> &topics)
{
    for (const HelpTopic &topic : topics) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, topic.name);
        item->setData(0, kPageRole, topic.local);
        addTopics(item, tree, topic.children);
        item->setExpanded(true);
    }
}

// Index entries with their sub-entries, the latter named "entry, sub-entry".
void addKeywords(QStandardItemModel *model, const QList<HelpTopic> &topics, const QString &prefix)
{
    for (const HelpTopic &topic : topics) {
        const QString name = prefix.isEmpty() ? topic.name : prefix + QStringLiteral(", ") + topic.name;
        auto *item = new QStandardItem(name);
        item->setData(topic.local, kPageRole);
        item->setEditable(false);
        model->appendRow(item);
        addKeywords(model, topic.children, name);
    }
}

QWidget *pane(QWidget *parent, const QString &label, QWidget *field, QWidget *list, QWidget *button = nullptr)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    auto *caption = new QLabel(label, page);
    caption->setBuddy(field);
    layout->addWidget(caption);
    layout->addWidget(field);
    if (button)
        layout->addWidget(button);
    layout->addWidget(list, 1);
    return page;
}

} // namespace

HelpViewer::HelpViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_panes(new QTabWidget(this))
    , m_contents(new QTreeWidget(this))
    , m_indexFilter(new QLineEdit(this))
    , m_indexList(new QListView(this))
    , m_indexModel(new QStandardItemModel(this))
    , m_indexProxy(new QSortFilterProxyModel(this))
    , m_searchWord(new QLineEdit(this))
    , m_results(new QListView(this))
    , m_resultModel(new QStandardItemModel(this))
    , m_page(new HelpBrowser(m_archive, this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Taveloq Help"));
    resize(820, 560);

    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_contents->setHeaderHidden(true);
    m_contents->setAccessibleName(QStringLiteral("Contents"));
    m_indexFilter->setObjectName(QStringLiteral("helpIndexFilter"));
    m_indexList->setObjectName(QStringLiteral("helpIndex"));
    m_indexList->setAccessibleName(QStringLiteral("Index entries"));
    m_indexProxy->setSourceModel(m_indexModel);
    m_indexProxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_indexList->setModel(m_indexProxy);
    m_indexList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_searchWord->setObjectName(QStringLiteral("helpSearchWord"));
    m_results->setObjectName(QStringLiteral("helpSearchResults"));
    m_results->setAccessibleName(QStringLiteral("Topics found"));
    m_results->setModel(m_resultModel);
    m_results->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *find = new QPushButton(QStringLiteral("&List Topics"), this);

    m_panes->setObjectName(QStringLiteral("helpPanes"));
    m_panes->addTab(m_contents, QStringLiteral("&Contents"));
    m_panes->addTab(pane(this, QStringLiteral("&Type in the keyword to find:"), m_indexFilter, m_indexList),
                    QStringLiteral("I&ndex"));
    m_panes->addTab(pane(this, QStringLiteral("&Type in the word to search for:"), m_searchWord, m_results, find),
                    QStringLiteral("&Search"));

    auto *splitter = new QSplitter(this);
    splitter->addWidget(m_panes);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 560});
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    // Closes as a dialog does; the window is modeless, so nothing else takes the key.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    connect(m_contents, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            ShowPage(item->data(0, kPageRole).toString());
    });
    connect(m_indexFilter, &QLineEdit::textChanged, m_indexProxy, &QSortFilterProxyModel::setFilterFixedString);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] { openIndexEntry(m_indexProxy->index(0, 0)); });
    connect(m_indexList, &QListView::activated, this, &HelpViewer::openIndexEntry);
    connect(m_indexList, &QListView::clicked, this, &HelpViewer::openIndexEntry);
    connect(m_searchWord, &QLineEdit::returnPressed, this, &HelpViewer::search);
    connect(find, &QPushButton::clicked, this, &HelpViewer::search);
    const auto openResult = [this](const QModelIndex &index) {
        if (const QString page = index.data(kPageRole).toString(); !page.isEmpty())
            ShowPage(page);
    };
    connect(m_results, &QListView::activated, this, openResult);
    connect(m_results, &QListView::clicked, this, openResult);
}

bool HelpViewer::OpenFile(const QString &path)
{
    if (m_archive.IsOpen() && m_archive.Path() == path)
        return true;
    const bool opened = m_archive.Open(path);
    fillContents();
    fillIndex();
    m_resultModel->clear();
    m_page->clearHistory();
    if (!opened) {
        m_page->setPlainText(QStringLiteral("%1 cannot be read.").arg(path));
        return false;
    }
    const QList<HelpTopic> contents = m_archive.Contents();
    const QUrl first = HelpBrowser::PageUrl(contents.isEmpty() ? QStringLiteral("/index.htm") : contents.first().local);
    // Another file may have a page of the same name.
    if (m_page->source() == first)
        m_page->reload();
    else
        m_page->setSource(first);
    return true;
}

void HelpViewer::fillContents()
{
    m_contents->clear();
    addTopics(nullptr, m_contents, m_archive.Contents());
}

void HelpViewer::fillIndex()
{
    m_indexModel->clear();
    addKeywords(m_indexModel, m_archive.Index(), QString());
}

void HelpViewer::ShowPane(HelpPane pane)
{
    m_panes->setCurrentIndex(int(pane));
    switch (pane) {
    case HelpPane::Contents:
        m_contents->setFocus();
        break;
    case HelpPane::Index:
        m_indexFilter->setFocus();
        m_indexFilter->selectAll();
        break;
    case HelpPane::Search:
        m_searchWord->setFocus();
        m_searchWord->selectAll();
        break;
    }
}

HelpPane HelpViewer::CurrentPane() const
{
    return HelpPane(m_panes->currentIndex());
}

void HelpViewer::ShowPage(const QString &page)
{
    if (!page.isEmpty() && HelpBrowser::PageUrl(page) != m_page->source())
        m_page->setSource(HelpBrowser::PageUrl(page));
}

void HelpViewer::openIndexEntry(const QModelIndex &index)
{
    if (index.isValid())
        ShowPage(index.data(kPageRole).toString());
}

void HelpViewer::search()
{
    m_resultModel->clear();
    const QStringList pages = m_archive.PagesHolding(m_searchWord->text());
    for (const QString &page : pages) {
        auto *item = new QStandardItem(m_archive.PageTitle(page));
        item->setData(page, kPageRole);
        m_resultModel->appendRow(item);
    }
    if (pages.isEmpty()) {
        // Say so rather than leave an empty list that looks like nothing happened.
        auto *none = new QStandardItem(QStringLiteral("No topics found."));
        none->setEnabled(false);
        m_resultModel->appendRow(none);
        return;
    }
    m_results->setCurrentIndex(m_resultModel->index(0, 0));
    ShowPage(pages.first());
}
