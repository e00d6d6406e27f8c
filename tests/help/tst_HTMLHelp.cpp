#include "app/FileHelpers.h"
#include "help/ChmArchive.h"
#include "help/HTMLHelp.h"
#include "help/HelpBrowser.h"
#include "help/HelpFile.h"
#include "help/HelpViewer.h"
#include "help/HelpViewerHost.h"
#include "help/modHTMLHelp.h"
#include "platform/ScreenFit.h"
#include "support/TestSupport.h"

#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>

// Records what the help file was asked to show.
struct RecordingViewer final : IHelpViewer
{
    QStringList shown;
    void Show(const QString &address, HelpPane, QObject *) override { shown << address; }
};

void flatten(const QList<HelpTopic> &topics, QStringList &pages)
{
    for (const HelpTopic &topic : topics) {
        pages << topic.local;
        flatten(topic.children, pages);
    }
}

class TestHTMLHelp : public TestBase
{
    Q_OBJECT

    ChmArchive m_chm;

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_chm.Open(QStringLiteral(TAVELOQ_HELP_FILE))); }

    void messages_data() { AddTestDataRows(QStringLiteral("help/messages.txt")); }
    void messages()
    {
        QFETCH(QStringList, row);
        const QString &file = row[1], &message = row[3];
        QTemporaryDir dir;
        const auto place = [&](QString text) {
            return text.replace(QLatin1String("%1"), dir.path())
                .replace(QLatin1String("%2"), QCoreApplication::applicationDirPath());
        };
        // Every file a row names exists, but the deleted one.
        if (file.contains(QLatin1Char('/')))
            QVERIFY(QFile::copy(QStringLiteral(TAVELOQ_HELP_FILE), place(file)));
        QFile::remove(dir.filePath(QStringLiteral("Gone.chm")));
        RecordingViewer viewer;
        HTMLHelp help(&viewer);
        help.SetCHMFile(place(file));
        help.SetHHShowOnTop(row[2] == QLatin1String("yes"));
        help.HHDisplayContents();
        QCOMPARE(TestMessages().takeTexts(), message.isEmpty() ? QStringList() : QStringList{place(message)});
        QCOMPARE(viewer.shown, message.isEmpty() ? QStringList{place(file)} : QStringList());
    }

    void helpFileBesideTheProgramThenInstalled_data() { AddTestDataRows(QStringLiteral("help/help-file-places.txt")); }
    void helpFileBesideTheProgramThenInstalled()
    {
        QFETCH(QStringList, row);
        const QStringList folders = row[1].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString &found = row[2];
        const QDir program(QCoreApplication::applicationDirPath());
        for (const QString &folder : folders)
            QVERIFY(program.mkpath(folder) &&
                    QFile::copy(TAVELOQ_HELP_FILE, program.filePath(folder + "/" + kHelpFileName)));
        const QString result = FindHelpFile();
        for (const QString &folder : folders)
            QFile::remove(program.filePath(folder + "/" + kHelpFileName));
        QCOMPARE(result, found.isEmpty() ? found : QDir::cleanPath(program.filePath(found + "/" + kHelpFileName)));
    }

    void contentsListEveryPage()
    {
        QStringList contents;
        flatten(m_chm.Contents(), contents);
        QStringList pages = QDir(QStringLiteral(TAVELOQ_HELP_SOURCES)).entryList({QStringLiteral("*.htm")});
        for (QString &page : pages)
            page.prepend(QLatin1Char('/'));
        contents.sort();
        QCOMPARE(contents, pages);
        QCOMPARE(m_chm.Pages(), pages);
        // The full-text data of the compiler (the pictures show in the viewer's test).
        QVERIFY(m_chm.Read(QStringLiteral("/$FIftiMain")).has_value());
    }

    // The pages' colours all come from the palette, so that they read in a dark theme as in a light one.
    void pagesTakeThePalettesColours()
    {
        const QDir sources(QStringLiteral(TAVELOQ_HELP_SOURCES));
        const QRegularExpression colour(QStringLiteral("(color|background)[\\w-]*\\s*[:=]\\s*([^;}\"'>]+)"),
                                        QRegularExpression::CaseInsensitiveOption);
        for (const QString &name : sources.entryList({QStringLiteral("*.css"), QStringLiteral("*.htm")})) {
            const QString text = ReadWholeFile(sources.filePath(name));
            for (const QRegularExpressionMatch &m : colour.globalMatch(text)) {
                const QString value = m.captured(2).trimmed(); // a role the browser knows turns into a colour
                QVERIFY2(value.startsWith(QLatin1String("palette(")) &&
                             QColor::isValidColorName(HelpBrowser::WithPaletteColors(value, QPalette())),
                         qPrintable(name + ": " + m.captured(0)));
            }
        }
        HelpViewer viewer;
        QPalette dark(QColor(0x30, 0x30, 0x30)); // light text on dark ground, as dark themes have
        dark.setColor(QPalette::Link, QColor(0x80, 0xb0, 0xff));
        viewer.OpenFile(QStringLiteral(TAVELOQ_HELP_FILE));
        viewer.ShowPage(QStringLiteral("/command-line.htm"));
        viewer.setPalette(dark); // after the page was read: it is read again
        const QTextDocument *page = viewer.Page()->document();
        QCOMPARE(page->findBlockByNumber(0).charFormat().foreground().color(), dark.color(QPalette::Link)); // h1
        const QTextBlock pre = page->find(QStringLiteral("[--no-center]")).block();
        QCOMPARE(pre.blockFormat().background().color(), dark.color(QPalette::AlternateBase));
    }

    void lookups_data() { AddTestDataRows(QStringLiteral("help/lookups.txt")); }
    void lookups()
    {
        QFETCH(QStringList, row);
        const bool index = row[1] == QLatin1String("index");
        const QString &word = row[2];
        QStringList found;
        for (const HelpTopic &keyword : m_chm.Index())
            if (index && keyword.name == word)
                found << keyword.local;
        QCOMPARE(index ? found : m_chm.PagesHolding(word), row[3].split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }

    void routinesOpenTheViewerOnTheirPane()
    {
        QWidget owner;
        ScreenFit fit; // as the application has it
        qApp->installEventFilter(&fit);
        HelpViewerHost host(&owner);
        modHTMLHelp::SetViewer(&host);
        modHTMLHelp::SetHelpFile(QStringLiteral(TAVELOQ_HELP_FILE));
        void (*const routines[])() = {&modHTMLHelp::ShowContents, &modHTMLHelp::ShowIndex, &modHTMLHelp::ShowSearch};
        HelpViewer *viewer = nullptr;
        for (const HelpPane pane : {HelpPane::Contents, HelpPane::Index, HelpPane::Search}) {
            routines[(int(pane) + 1) % 3]();
            viewer = host.Window();
            QVERIFY(viewer && viewer->isVisible());
            routines[int(pane)]();
            QCOMPARE(host.Window(), viewer);
            QCOMPARE(viewer->CurrentPane(), pane);
        }
        modHTMLHelp::SetViewer(nullptr);
        QVERIFY(viewer->Page()->toPlainText().contains(QStringLiteral("Welcome to Taveloq")));
        // The search pane finds the one page and shows it; the index filter narrows its list.
        QTest::keyClicks(viewer->SearchWord(), QStringLiteral("usermod"));
        QTest::keyClick(viewer->SearchWord(), Qt::Key_Return);
        QCOMPARE(viewer->SearchResults()->model()->rowCount(), 1);
        QVERIFY(viewer->Page()->toPlainText().startsWith(QStringLiteral("Serial ports on Linux")));
        // A word no page holds says so and leaves the page as it was.
        viewer->SearchWord()->setText(QStringLiteral("zzzqqq"));
        QTest::keyClick(viewer->SearchWord(), Qt::Key_Return);
        QCOMPARE(viewer->SearchResults()->model()->index(0, 0).data().toString(), QStringLiteral("No topics found."));
        QVERIFY(viewer->Page()->toPlainText().startsWith(QStringLiteral("Serial ports on Linux")));
        QTest::keyClicks(viewer->IndexFilter(), QStringLiteral("taveloq-"));
        QCOMPARE(viewer->IndexList()->model()->rowCount(), 3);

        // On the screen, its pictures no wider than the page, and Escape closes it.
        QVERIFY(viewer->screen()->availableGeometry().contains(viewer->frameGeometry()));
        viewer->ShowPage(QStringLiteral("/index.htm"));
        const QTextCharFormat picture =
            viewer->Page()->document()->find(QString(QChar::ObjectReplacementCharacter)).charFormat();
        QVERIFY(picture.isImageFormat() && picture.toImageFormat().width() > 100);
        QVERIFY(picture.toImageFormat().width() <= viewer->Page()->viewport()->width());
        const QPointer<HelpViewer> shown = viewer;
        QVERIFY(QTest::qWaitForWindowActive(viewer));
        QTest::keyClick(viewer->Page(), Qt::Key_Escape);
        QTRY_VERIFY(!shown || !shown->isVisible());
    }
};

TQ_TEST_GUI_MAIN(TestHTMLHelp)
#include "tst_HTMLHelp.moc"
