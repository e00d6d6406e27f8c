#include "help/HelpBrowser.h"

#include "help/ChmArchive.h"

namespace {
const QString kScheme = QStringLiteral("chm");
}

HelpBrowser::HelpBrowser(const ChmArchive &archive, QWidget *parent)
    : QTextBrowser(parent)
    , m_archive(archive)
{
    setObjectName(QStringLiteral("helpPage"));
    // Pages link to each other; a web address goes to the desktop's browser.
    setOpenExternalLinks(true);
}

QUrl HelpBrowser::PageUrl(const QString &page)
{
    // Parsed rather than set as a path, so a page's "#section" stays a fragment.
    return QUrl(kScheme + QStringLiteral("://") + (page.startsWith(QLatin1Char('/')) ? page : QLatin1Char('/') + page));
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() != kScheme)
        return QTextBrowser::loadResource(type, name);
    const std::optional<QByteArray> data = m_archive.Read(name.path());
    if (!data)
        return {};
    if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
        return QString::fromUtf8(*data);
    return *data;
}
