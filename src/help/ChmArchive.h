#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

struct chmFile;

/// One entry of a help file's contents or index: its caption, the page it opens
/// ("/index.htm", may be empty for a heading) and the entries under it.
struct HelpTopic
{
    QString name;
    QString local;
    QList<HelpTopic> children;
};

/// A compiled HTML help file read through chmlib: its objects, the contents tree
/// and the index it carries, and the pages that hold a word.
class ChmArchive
{
public:
    ChmArchive() = default;
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    /// Opens the file, closing any opened before; false when chmlib cannot read it.
    bool Open(const QString &path);
    bool IsOpen() const { return m_file != nullptr; }
    const QString &Path() const { return m_path; }

    /// An object's bytes by its path inside the file ("/index.htm"); nothing when absent.
    std::optional<QByteArray> Read(const QString &objectPath) const;
    /// The paths of every file object, in the file's order.
    QStringList Objects() const;
    /// The HTML pages among the objects.
    QStringList Pages() const;

    /// The contents tree and the index, read from the .hhc and .hhk the file carries.
    QList<HelpTopic> Contents() const;
    QList<HelpTopic> Index() const;

    /// A page's <title>, or its path when it has none.
    QString PageTitle(const QString &page) const;
    /// The pages whose text holds every one of the words as a whole word, any letter case.
    QStringList PagesHolding(const QString &words) const;

    /// Parses the sitemap lists of a .hhc or .hhk file.
    static QList<HelpTopic> ParseSitemap(const QString &text);

private:
    QList<HelpTopic> sitemap(const QString &suffix) const;

    chmFile *m_file = nullptr;
    QString m_path;
    // Each page's words, gathered at the first search.
    mutable QHash<QString, QSet<QString>> m_words;
};
