#pragma once

#include "help/ChmArchive.h"
#include "help/IHelpViewer.h"

#include <QWidget>

class HelpBrowser;
class QLineEdit;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTreeWidget;
class QListView;

/// The help window: Contents, Index and Search panes beside the page.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    /// Reads the help file, unless it is the one already shown; false when it cannot be read.
    bool OpenFile(const QString &path);
    /// Brings the pane forward with the keyboard focus in it.
    void ShowPane(HelpPane pane);
    HelpPane CurrentPane() const;
    /// Shows a page of the file ("/index.htm").
    void ShowPage(const QString &page);

    QTabWidget *Panes() const { return m_panes; }
    QTreeWidget *ContentsTree() const { return m_contents; }
    QLineEdit *IndexFilter() const { return m_indexFilter; }
    QListView *IndexList() const { return m_indexList; }
    QLineEdit *SearchWord() const { return m_searchWord; }
    QListView *SearchResults() const { return m_results; }
    HelpBrowser *Page() const { return m_page; }

private:
    void fillContents();
    void fillIndex();
    void search();
    void openIndexEntry(const QModelIndex &index);

    ChmArchive m_archive;
    QTabWidget *m_panes;
    QTreeWidget *m_contents;
    QLineEdit *m_indexFilter;
    QListView *m_indexList;
    QStandardItemModel *m_indexModel;
    QSortFilterProxyModel *m_indexProxy;
    QLineEdit *m_searchWord;
    QListView *m_results;
    QStandardItemModel *m_resultModel;
    HelpBrowser *m_page;
};
