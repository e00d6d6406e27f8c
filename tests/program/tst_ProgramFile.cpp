#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "app/ProgramPropertyStore.h"
#include "program/ProgramCommands.h"
#include "program/ProgramFile.h"
#include "program/ProgramListing.h"
#include "program/ScriptFolder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QStringList windowsListing()
{
    return {QStringLiteral("mov 3,127"),       QStringLiteral("MOV 0,10"),      QStringLiteral("pause 500"),
            QStringLiteral("script wave.tqs"), QStringLiteral("wav hello.wav"), QStringLiteral("Mov 15,240")};
}

ProgramProperties windowsProperties()
{
    return {"200", "250", "1.27", "240", "10", "120", "3", "9600"};
}

} // namespace

class TestProgramFile : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        m_store.SetProperties({});
        m_listing.Reset({});
        m_saved.clear();
    }

    void lineEndsFromAnySystem_data() { AddTestDataRows(QStringLiteral("program/line-ends.txt")); }
    void lineEndsFromAnySystem()
    {
        QFETCH(QStringList, row);
        load(TestDataPath(QStringLiteral("program/") + row[1]));
        QCOMPARE(m_listing.Items(), windowsListing());
        QCOMPARE(m_store.Properties(), windowsProperties());
        // The temporary file mirrors the listing with CR LF.
        QCOMPARE(ReadWholeFile(m_listing.TempFilePath()), windowsListing().join(kCrLf) + kCrLf);
    }

    void headerAnywhereAndDroppedLines()
    {
        const QString path = TestDataPath(QStringLiteral("program/mixed.tqp"));
        load(path);
        ExpectMessage(QStringLiteral("Unrecognized commands in the program file ( ") + path +
                          QStringLiteral(" ) have been detected and were removed from the program listing."),
                      MsgIcon::Critical);

        QCOMPARE(m_listing.Items(), (QStringList{QStringLiteral("mov 3,127"), QStringLiteral("wav hello.wav"),
                                                 QStringLiteral("pause 1,000")}));
        // Keys are matched by prefix (";ServoCenterline" sets the centre); unknown ones are ignored.
        QCOMPARE(m_store.Properties(),
                 (ProgramProperties{.SynchByte = "254", .ServoCenter = "100", .BaudRate = "9600"}));
    }

    void headerValues()
    {
        // The value is everything after the first "=", untrimmed; without "=" the whole line.
        ProgramProperties start;
        const ParsedProgram parsed = ParseProgramText(
            QStringLiteral(";interinstructiondelay=1=2\r\n;SMARTDELAY= 3\r\n;version=9\r\n;CommPort\r\n"), start);
        QCOMPARE(parsed.properties.InterInstructionDelay, QStringLiteral("1=2"));
        QCOMPARE(parsed.properties.SmartDelay, QStringLiteral(" 3"));
        QCOMPARE(parsed.properties.CommPort, QStringLiteral(";CommPort"));
        QVERIFY(!parsed.droppedLines);
        QVERIFY(parsed.listing.isEmpty());
    }

    void propertyHeaders_data() { AddTestDataRows(QStringLiteral("program/property-headers.txt")); }
    void propertyHeaders()
    {
        QFETCH(QStringList, row);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.tqp"));
        QVERIFY(WriteWholeFile(path, row[1] + QStringLiteral("\r\nmov 1,2\r\n")));
        m_store.SetValue(ProgramPropertyStore::Field::SynchByte, QStringLiteral("200"));
        load(path);
        QCOMPARE(m_listing.Items(), QStringList{QStringLiteral("mov 1,2")}); // the listing loads either way
        if (row[2] == QLatin1String("yes")) {
            QVERIFY(m_store.Properties() != ProgramProperties{}); // not reset
            return;
        }
        ExpectMessage(path + QStringLiteral("\r\nThe file had invalid property values.  Default values will be set."),
                      MsgIcon::Information);
        // Not one of them is kept, not even the valid ones before the load.
        QCOMPARE(m_store.Properties(), ProgramProperties{});
    }

    void missingFileChangesNothing()
    {
        QVERIFY(WriteWholeFile(m_listing.TempFilePath(), QStringLiteral("mov 9,9\r\n")));
        m_listing.Update();
        m_store.SetProperties(windowsProperties());
        const QString path = DataPaths::ProgramsFolder() + QStringLiteral("/gone.tqp");
        load(path);
        QCOMPARE(TestMessages().take().size(), 1);
        QVERIFY(m_commands.CurrentProgramPath().isEmpty());
        QCOMPARE(m_store.Properties(), windowsProperties());
        QCOMPARE(ReadWholeFile(m_listing.TempFilePath()), QStringLiteral("mov 9,9\r\n"));
    }

    void latin1AndUtf8LinesAreWrittenAsUtf8()
    {
        load(TestDataPath(QStringLiteral("program/latin1.tqp")));
        QCOMPARE(ReadWholeFileBytes(m_listing.TempFilePath()),
                 ReadWholeFileBytes(TestDataPath(QStringLiteral("program/latin1.tmp"))));
    }

    void scriptFolder_data() { AddTestDataRows(QStringLiteral("program/script-folder.txt")); }
    void scriptFolder()
    {
        QFETCH(QStringList, row);
        const QString folder = DataPaths::UserDataFolder();
        const auto bytes = [&folder](const QString &name) {
            return QFile::encodeName(folder) + '/' + QByteArray::fromPercentEncoding(name.toLatin1());
        };
        for (const QString &name : row[1].split(QLatin1Char(' ')))
            WriteNativeFile(bytes(name), "");
        QCOMPARE(ScriptFolder::Find(folder, row[2]), row[3] == QLatin1String("-") ? QByteArray() : bytes(row[3]));
        QCOMPARE(ScriptFolder::Names(folder).join(QLatin1Char(' ')), row[4]);
    }

    void saveWritesTheCanonicalForm()
    {
        load(TestDataPath(QStringLiteral("program/lone-cr.tqp")));
        QTemporaryDir dir;
        m_commands.SetCurrentProgramPath(dir.filePath(QStringLiteral("copy.tqp")));
        QVERIFY(m_commands.SaveProgram(false));
        QCOMPARE(m_saved.takeFirst().at(0).toString(), m_commands.CurrentProgramPath());

        // Saved bytes are the canonical CR LF form of the same program, which loads as the "CR LF" row.
        QCOMPARE(ReadWholeFileBytes(m_commands.CurrentProgramPath()),
                 ReadWholeFileBytes(TestDataPath(QStringLiteral("program/windows.tqp"))));
    }

    void saveTakesTheListFromTheTemporaryFile()
    {
        // Lines logged to the temporary file since the last reload are saved too.
        QVERIFY(WriteWholeFile(m_listing.TempFilePath(), QStringLiteral("mov 1,2\r\npause 10\r\n")));
        QTemporaryDir dir;
        m_commands.SetCurrentProgramPath(dir.filePath(QStringLiteral("wave.tqs")));
        QVERIFY(m_commands.SaveProgram(true));
        QCOMPARE(ReadWholeFile(m_commands.CurrentProgramPath()), QStringLiteral("mov 1,2\r\npause 10\r\n"));
        QVERIFY(m_saved.isEmpty()); // scripts touch neither recent files nor title
    }

    // One failing write: which write errors there are is the file helpers' own table.
    void failedSaveIsReportedAndNotRemembered()
    {
        QTemporaryDir dir;
        QVERIFY(WriteWholeFile(dir.filePath(QStringLiteral("file")), QString()));
        m_commands.SetCurrentProgramPath(dir.filePath(QStringLiteral("file/show.tqp")));
        QVERIFY(!m_commands.SaveProgram(false));
        QVERIFY(TestMessages().takeTexts().value(0).startsWith(QStringLiteral("Routine Code: 0055\r\n")));
        QVERIFY(m_saved.isEmpty());
    }

private:
    void load(const QString &path)
    {
        m_commands.SetCurrentProgramPath(path);
        m_commands.LoadProgramFile();
    }

    ProgramPropertyStore m_store;
    ProgramListing m_listing{DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp")};
    ProgramCommands m_commands{m_store, m_listing};
    QSignalSpy m_saved{&m_commands, &ProgramCommands::programSaved};
};

TQ_TEST_MAIN(TestProgramFile)
#include "tst_ProgramFile.moc"
