#pragma once

#include <QHash>
#include <QTextBrowser>

class ChmArchive;

/// Shows the pages of a help file: pages, style sheets, images and links are
/// read from the file itself (addresses "chm:///page.htm").
///
/// The pages take their colours from the window's palette, dark or light: a
/// style sheet names them as palette(role) ("color: palette(link)"), and the
/// browser puts the palette's colour in. Pictures are fitted to the page's
/// width; one named "@2x" is shown at half its pixel size, sharp on a screen
/// scaled by two.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    HelpBrowser(const ChmArchive &archive, QWidget *parent = nullptr);

    /// The address of a page of the file ("/index.htm").
    static QUrl PageUrl(const QString &page);
    /// A style sheet with every palette(role) replaced by that colour of `palette`.
    static QString WithPaletteColors(const QString &styleSheet, const QPalette &palette);

    QVariant loadResource(int type, const QUrl &name) override;

protected:
    void changeEvent(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    void fitImages();

    const ChmArchive &m_archive;
    /// The pictures' sizes in pixels, by address.
    QHash<QString, QSize> m_imageSizes;
};
