#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "platform/ErrorReport.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

/// The listing as an editor's model: every change one step that undoes and
/// redoes exactly, the clean state of the last save, and the temporary file
/// that mirrors the lines whatever happens.
class TestProgramListing : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void editSequences_data() { AddTestDataRows(QStringLiteral("program/edit-sequences.txt")); }
    void editSequences()
    {
        QFETCH(QStringList, row);
        QDir().mkpath(DataPaths::UserDataFolder());
        ProgramListing listing(DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp"));
        ProgramPropertyStore store;
        listing.Reset(row[1].split(QLatin1Char('/')));
        for (const QString &command : row[2].split(QStringLiteral("&&"))) {
            const QString verb = command.trimmed().section(QLatin1Char(' '), 0, 0);
            const QString rest = command.trimmed().section(QLatin1Char(' '), 1);
            const QString line = rest.section(QLatin1Char(' '), 1);
            QList<int> rows;
            for (const QString &number : rest.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                rows << number.toInt();
            Reported(QStringLiteral("edit"), [&] {
                if (verb == QLatin1String("insert"))
                    listing.InsertLines(rows[0], {line}, QStringLiteral("Insert"));
                else if (verb == QLatin1String("append"))
                    listing.AppendLine(rest, QStringLiteral("Append"));
                else if (verb == QLatin1String("replace"))
                    listing.ReplaceLine(rows[0], line, QStringLiteral("Edit"));
                else if (verb == QLatin1String("lines"))
                    listing.ReplaceLines(rows[0], rows[1], rest.section(QLatin1Char(' '), 2).split(QLatin1Char(';')),
                                         QStringLiteral("Record"));
                else if (verb == QLatin1String("remove"))
                    listing.RemoveLines(rows, QStringLiteral("Delete"));
                else if (verb == QLatin1String("up") || verb == QLatin1String("down"))
                    listing.MoveLinesBy(rows, verb == QLatin1String("up") ? -1 : 1, QStringLiteral("Move"));
                else if (verb == QLatin1String("drop"))
                    listing.MoveLinesTo(rows.mid(1), rows[0], QStringLiteral("Move"));
                else if (verb == QLatin1String("paste")) {
                    const PastedLines pasted = ParsePastedText(command.trimmed().section(QLatin1Char(' '), 2));
                    if (!pasted.refusal.isEmpty())
                        ShowUserMessage(pasted.refusal, MsgButtons::Ok, MsgIcon::Exclamation);
                    listing.InsertLines(rows[0], pasted.lines, QStringLiteral("Paste"));
                } else if (verb == QLatin1String("props")) {
                    ProgramProperties after = store.Properties();
                    after.SynchByte = rest;
                    listing.ChangeProperties(store, after, QStringLiteral("Property"));
                } else if (verb == QLatin1String("undo"))
                    listing.Undo();
                else if (verb == QLatin1String("redo"))
                    listing.Redo();
                else if (verb == QLatin1String("save"))
                    listing.SetClean();
                else if (verb == QLatin1String("unwritable"))
                    QFile::setPermissions(listing.TempFilePath(), QFileDevice::ReadOwner);
                else
                    QFAIL(qPrintable(QStringLiteral("unknown command ") + verb));
            });
        }
        const QStringList expected = row[3].split(QLatin1Char('/'));
        QCOMPARE(listing.Items(), expected);
        QCOMPARE(listing.rowCount(), expected.size());
        QCOMPARE(ReadWholeFileBytes(listing.TempFilePath()),
                 EncodeFileText(expected.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
        QCOMPARE(listing.UndoText(), row[4]);
        QCOMPARE(listing.IsClean(), row[5] == QLatin1String("yes"));
        QCOMPARE(store.Properties().SynchByte, row[6]);
        const QStringList messages = TestMessages().takeTexts();
        QCOMPARE(messages.size(), row[7].isEmpty() ? 0 : 1);
        if (!row[7].isEmpty())
            QVERIFY2(messages[0].startsWith(row[7]), qPrintable(messages[0]));
    }
};

TQ_TEST_MAIN(TestProgramListing)
#include "tst_ProgramListing.moc"
