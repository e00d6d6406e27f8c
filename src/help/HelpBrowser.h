#pragma once

#include <QTextBrowser>

class ChmArchive;

/// Shows the pages of a help file: pages, style sheets, images and links are
/// read from the file itself (addresses "chm:///page.htm").
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    HelpBrowser(const ChmArchive &archive, QWidget *parent = nullptr);

    /// The address of a page of the file ("/index.htm").
    static QUrl PageUrl(const QString &page);

    QVariant loadResource(int type, const QUrl &name) override;

private:
    const ChmArchive &m_archive;
};
