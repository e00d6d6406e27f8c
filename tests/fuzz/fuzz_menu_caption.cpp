// A recent file's caption: its access key and number, then the path or "..." and a tail of it that
// starts at a "/", with every "&" doubled so the menu shows it as written.

#include "FuzzSupport.h"
#include "program/cMRUFileList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzText(data, size);
    if (path.isEmpty())
        return 0;
    cMRUFileList list;
    list.SetMaxFileCount(9);
    list.AddFile(QStringLiteral("/first"));
    list.AddFile(path);
    const QString caption = list.MenuCaption(1);
    FUZZ_CHECK(caption.startsWith(QStringLiteral("&1)  ")));
    // Every "&" comes in a pair; undoubled, the text is the path or "..." and its tail.
    const QString tail = caption.mid(5);
    QString shown;
    for (qsizetype i = 0; i < tail.size(); ++i) {
        if (tail.at(i) == QLatin1Char('&'))
            FUZZ_CHECK(++i < tail.size() && tail.at(i) == QLatin1Char('&'));
        shown += tail.at(i);
    }
    if (shown != path) {
        FUZZ_CHECK(shown.startsWith(QStringLiteral(".../")));
        FUZZ_CHECK(path.endsWith(shown.mid(3)));
        // Only a path without a "/" near its end shows a tail longer than the menu's 32 characters.
        FUZZ_CHECK(shown.size() - 3 <= 33 || path.lastIndexOf(QLatin1Char('/')) < path.size() - 33);
    }
    FUZZ_CHECK(list.MenuCaption(2) == QStringLiteral("&2)  /first"));
    return 0;
}
