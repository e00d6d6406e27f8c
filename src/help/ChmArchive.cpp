#include "help/ChmArchive.h"

#include <QFile>
#include <QRegularExpression>

#include <optional>

#include <chm_lib.h>

namespace {

int collectObject(chmFile *, chmUnitInfo *info, void *context)
{
    static_cast<QStringList *>(context)->append(QString::fromUtf8(info->path));
    return CHM_ENUMERATOR_CONTINUE;
}

QString attribute(const QString &tag, const QString &name)
{
    const QRegularExpression re(name + QStringLiteral(R"re(\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(tag);
    if (!m.hasMatch())
        return {};
    QString value = m.captured(1) + m.captured(2) + m.captured(3);
    value.replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return value;
}

// Pages are named from the file's root; the sitemaps name them relative to it.
QString objectPath(const QString &local)
{
    if (local.isEmpty() || local.startsWith(QLatin1Char('/')) || local.contains(QLatin1String("://")))
        return local;
    return QLatin1Char('/') + local;
}

QString pageText(const QByteArray &html)
{
    static const QRegularExpression hidden(QStringLiteral(R"(<(script|style|title)\b.*?</\1\s*>)"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>|&[a-zA-Z#0-9]+;"));
    return QString::fromUtf8(html).remove(hidden).replace(tags, QStringLiteral(" "));
}

} // namespace

ChmArchive::~ChmArchive()
{
    if (m_file)
        chm_close(m_file);
}

bool ChmArchive::Open(const QString &path)
{
    if (m_file)
        chm_close(m_file);
    m_words.clear();
    m_path = path;
    m_file = chm_open(QFile::encodeName(path).constData());
    return m_file != nullptr;
}

std::optional<QByteArray> ChmArchive::Read(const QString &objectPath) const
{
    chmUnitInfo info{};
    if (!m_file || chm_resolve_object(m_file, objectPath.toUtf8().constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    QByteArray data(qsizetype(info.length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(m_file, &info, reinterpret_cast<unsigned char *>(data.data()), 0, LONGINT64(info.length));
    if (got < 0 || LONGUINT64(got) != info.length)
        return std::nullopt;
    return data;
}

QStringList ChmArchive::Objects() const
{
    QStringList paths;
    if (m_file)
        chm_enumerate(m_file, CHM_ENUMERATE_ALL, &collectObject, &paths);
    paths.removeIf([](const QString &p) { return p.endsWith(QLatin1Char('/')); });
    return paths;
}

QStringList ChmArchive::Pages() const
{
    QStringList pages = Objects();
    pages.removeIf([](const QString &p) {
        return p.startsWith(QLatin1String("/#")) || p.startsWith(QLatin1String("/$")) ||
               !(p.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
                 p.endsWith(QLatin1String(".html"), Qt::CaseInsensitive));
    });
    pages.sort();
    return pages;
}

QList<HelpTopic> ChmArchive::Contents() const
{
    return sitemap(QStringLiteral(".hhc"));
}

QList<HelpTopic> ChmArchive::Index() const
{
    return sitemap(QStringLiteral(".hhk"));
}

QList<HelpTopic> ChmArchive::sitemap(const QString &suffix) const
{
    // The project names its sitemaps freely; the file holds one of each kind.
    for (const QString &object : Objects()) {
        if (object.endsWith(suffix, Qt::CaseInsensitive))
            return ParseSitemap(QString::fromUtf8(Read(object).value_or(QByteArray())));
    }
    return {};
}

QList<HelpTopic> ChmArchive::ParseSitemap(const QString &text)
{
    static const QRegularExpression tag(QStringLiteral(R"(<\s*(/?)\s*(ul|object|param)\b([^>]*)>)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QList<HelpTopic> root;
    // The list that new entries join; an <ul> opens the list under the entry before it.
    QList<QList<HelpTopic> *> lists{&root};
    int depth = 0;
    std::optional<HelpTopic> entry;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const bool closing = !m.captured(1).isEmpty();
        const QString name = m.captured(2).toLower();
        const QString attributes = m.captured(3);
        if (name == QLatin1String("ul")) {
            if (closing) {
                depth = qMax(0, depth - 1);
                if (lists.size() > 1)
                    lists.removeLast();
            } else if (depth++ > 0 && !lists.last()->isEmpty()) {
                lists.append(&lists.last()->last().children);
            } else if (depth > 1) {
                lists.append(lists.last());
            }
        } else if (name == QLatin1String("object")) {
            if (!closing && attribute(attributes, QStringLiteral("type"))
                                    .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0)
                entry.emplace();
            else if (closing && entry) {
                lists.last()->append(*entry);
                entry.reset();
            }
        } else if (entry && !closing) {
            const QString key = attribute(attributes, QStringLiteral("name")).toLower();
            const QString value = attribute(attributes, QStringLiteral("value"));
            // An index entry may name several pages; it opens the first.
            if (key == QLatin1String("name") && entry->name.isEmpty())
                entry->name = value;
            else if (key == QLatin1String("local") && entry->local.isEmpty())
                entry->local = objectPath(value);
        }
    }
    return root;
}

QString ChmArchive::PageTitle(const QString &page) const
{
    static const QRegularExpression title(QStringLiteral(R"(<title>\s*(.*?)\s*</title>)"),
                                          QRegularExpression::CaseInsensitiveOption |
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = title.match(QString::fromUtf8(Read(page).value_or(QByteArray())));
    return m.hasMatch() && !m.captured(1).isEmpty() ? m.captured(1) : page;
}

QStringList ChmArchive::PagesHolding(const QString &words) const
{
    static const QRegularExpression word(QStringLiteral(R"([\w-]+)"));
    const QStringList pages = Pages();
    if (m_words.isEmpty()) {
        for (const QString &page : pages) {
            QSet<QString> &set = m_words[page];
            for (auto it = word.globalMatch(pageText(Read(page).value_or(QByteArray()))); it.hasNext();) {
                const QString w = it.next().captured().toLower();
                set.insert(w);
                // "taveloq-vboard" is found by "vboard" too.
                for (const QString &part : w.split(QLatin1Char('-'), Qt::SkipEmptyParts))
                    set.insert(part);
            }
        }
    }
    QSet<QString> wanted;
    for (auto it = word.globalMatch(words.toLower()); it.hasNext();)
        wanted.insert(it.next().captured());
    QStringList found;
    for (const QString &page : pages) {
        if (!wanted.isEmpty() && m_words.value(page).contains(wanted))
            found << page;
    }
    return found;
}
