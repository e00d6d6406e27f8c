#include "help/HelpBrowser.h"

#include "help/ChmArchive.h"

#include <QBuffer>
#include <QEvent>
#include <QImageReader>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>
#include <QTextImageFormat>

namespace {
const QString kScheme = QStringLiteral("chm");
} // namespace

HelpBrowser::HelpBrowser(const ChmArchive &archive, QWidget *parent)
    : QTextBrowser(parent)
    , m_archive(archive)
{
    setObjectName(QStringLiteral("helpPage"));
    setAccessibleName(QStringLiteral("Help page"));
    // Pages link to each other; a web address goes to the desktop's browser.
    setOpenExternalLinks(true);
    connect(this, &QTextBrowser::sourceChanged, this, &HelpBrowser::fitImages);
}

QUrl HelpBrowser::PageUrl(const QString &page)
{
    // Parsed rather than set as a path, so a page's "#section" stays a fragment.
    return QUrl(kScheme + QStringLiteral("://") + (page.startsWith(QLatin1Char('/')) ? page : QLatin1Char('/') + page));
}

QString HelpBrowser::WithPaletteColors(const QString &styleSheet, const QPalette &palette)
{
    // palette(alternate-base) names QPalette::AlternateBase; an unknown role is left as written.
    static const QRegularExpression role(QStringLiteral("palette\\(\\s*([A-Za-z-]+)\\s*\\)"));
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch &m : role.globalMatch(styleSheet)) {
        bool known = false;
        const QByteArray key = m.captured(1).remove(QLatin1Char('-')).toLatin1().toLower();
        for (int i = 0; i < roles.keyCount() && !known; ++i) {
            if (QByteArray(roles.key(i)).toLower() == key) {
                result += styleSheet.mid(done, m.capturedStart() - done) +
                          palette.color(QPalette::ColorRole(roles.value(i))).name();
                known = true;
            }
        }
        if (!known)
            result += styleSheet.mid(done, m.capturedEnd() - done);
        done = m.capturedEnd();
    }
    return result + styleSheet.mid(done);
}

QVariant HelpBrowser::loadResource(int type, const QUrl &name)
{
    if (name.scheme() != kScheme)
        return QTextBrowser::loadResource(type, name);
    const std::optional<QByteArray> data = m_archive.Read(name.path());
    if (!data)
        return {};
    if (type == QTextDocument::StyleSheetResource)
        return WithPaletteColors(QString::fromUtf8(*data), palette());
    if (type == QTextDocument::HtmlResource)
        return QString::fromUtf8(*data);
    if (type == QTextDocument::ImageResource) {
        QBuffer buffer;
        buffer.setData(*data);
        m_imageSizes.insert(name.toString(), QImageReader(&buffer).size());
    }
    return *data;
}

void HelpBrowser::changeEvent(QEvent *event)
{
    QTextBrowser::changeEvent(event);
    // The page's colours came from the palette it was read with.
    if (event->type() == QEvent::PaletteChange && !source().isEmpty())
        reload();
}

bool HelpBrowser::viewportEvent(QEvent *event)
{
    const bool handled = QTextBrowser::viewportEvent(event);
    // The page's width, which a scroll bar coming or going changes too.
    if (event->type() == QEvent::Resize)
        fitImages();
    return handled;
}

void HelpBrowser::fitImages()
{
    QTextDocument *doc = document();
    const qreal room = viewport()->width() - 2 * doc->documentMargin() - 2;
    if (room <= 0)
        return;
    // Gathered first: a changed format may split or merge the fragments walked.
    QList<std::pair<QTextFragment, QTextImageFormat>> images;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (const QTextImageFormat image = it.fragment().charFormat().toImageFormat(); image.isValid())
                images.append({it.fragment(), image});
        }
    }
    QTextCursor cursor(doc);
    for (auto &[fragment, image] : images) {
        const QUrl address = source().resolved(QUrl(image.name()));
        if (!m_imageSizes.contains(address.toString()))
            doc->resource(QTextDocument::ImageResource, QUrl(image.name()));
        QSize pixels = m_imageSizes.value(address.toString());
        if (pixels.isEmpty())
            continue;
        if (image.name().contains(QLatin1String("@2x")))
            pixels /= 2;
        const qreal width = qMin<qreal>(pixels.width(), room);
        if (qFuzzyCompare(image.width(), width))
            continue;
        image.setWidth(width);
        image.setHeight(width * pixels.height() / pixels.width());
        cursor.setPosition(fragment.position());
        cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
        cursor.setCharFormat(image);
    }
}
