#include "app/AppComponents.h"
#include "app/AppState.h"
#include "app/DataPaths.h"
#include "app/FileHelpers.h"
#include "execution/ExecutionController.h"
#include "mainwindow/PropertyGridModel.h"
#include "program/ProgramFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
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

// A program shell that remembers which programs were reported saved.
class SavedPrograms final : public IProgramShell
{
public:
    void ProgramSaved(const QString &path) override { paths << path; }
    QStringList paths;
};

} // namespace

class TestProgramFile : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        TestBase::init();
        QDir().mkpath(DataPaths::UserDataFolder());
        App().TempFilePath = DataPaths::UserDataFolder() + QStringLiteral("/tq0001.tmp");
        QVERIFY(WriteWholeFile(App().TempFilePath, QString()));
        m_grid = PropertyGridModel();
        m_listing.SetItems({});
        m_shell.paths.clear();
        Components().grid = &m_grid;
        Components().execution = &m_listing;
        Components().shell = &m_shell;
    }

    void lineEndsFromAnySystem_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("CR LF") << "windows.tqp";
        QTest::newRow("lone CR") << "lone-cr.tqp";
        QTest::newRow("LF") << "unix.tqp";
        QTest::newRow("no line end after the last line") << "no-final-line-end.tqp";
    }
    void lineEndsFromAnySystem()
    {
        QFETCH(QString, file);
        load(TestDataPath(QStringLiteral("program/") + file));
        QCOMPARE(m_listing.ListItems(), windowsListing());
        QCOMPARE(App().Properties, windowsProperties());
        // The grid shows them and the temporary file mirrors the listing with CR LF.
        QCOMPARE(m_grid.CellText(PropertyGridModel::ServoCenter, 2), QStringLiteral("120"));
        QCOMPARE(ReadWholeFile(App().TempFilePath), windowsListing().join(kCrLf) + kCrLf);
        QCOMPARE(App().CurrentProgramPath, TestDataPath(QStringLiteral("program/") + file));
    }

    void headerAnywhereAndDroppedLines()
    {
        const QString path = TestDataPath(QStringLiteral("program/mixed.tqp"));
        load(path);
        ExpectMessage(QStringLiteral("Unrecognized commands in the program file ( ") + path +
                          QStringLiteral(" ) have been detected and were removed from the program listing."),
                      MsgIcon::Critical);

        QCOMPARE(m_listing.ListItems(), (QStringList{QStringLiteral("mov 3,127"), QStringLiteral("wav hello.wav"),
                                                     QStringLiteral("pause 1,000")}));
        // Keys are matched by prefix (";ServoCenterline" sets the centre); unknown ones are ignored.
        QCOMPARE(App().Properties, (ProgramProperties{.SynchByte = "254", .ServoCenter = "100", .BaudRate = "9600"}));
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

    void invalidPropertiesFallBackToDefaults_data()
    {
        QTest::addColumn<QString>("header");
        QTest::newRow("min above max") << ";ServoMin=10\r\n;ServoMax=5";
        QTest::newRow("baud 4800") << ";BaudRate=4800";
        QTest::newRow("port 5") << ";CommPort=5";
        QTest::newRow("port 0") << ";CommPort=0";
        QTest::newRow("max over 255") << ";ServoMax=256";
        QTest::newRow("centre outside") << ";ServoCenter=255";
        QTest::newRow("negative sync") << ";SynchByte=-1";
        QTest::newRow("letters for sync") << ";SynchByte=abc";
        QTest::newRow("negative rating") << ";SmartDelay=-0.7";
        QTest::newRow("letters for min") << ";ServoMin=low";
        QTest::newRow("huge max, no overflow report") << ";ServoMax=1e30";
        QTest::newRow("baud with blank") << ";BaudRate=9600 ";
    }
    void invalidPropertiesFallBackToDefaults()
    {
        QFETCH(QString, header);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.tqp"));
        QVERIFY(WriteWholeFile(path, header + QStringLiteral("\r\nmov 1,2\r\n")));
        App().Properties.SynchByte = QStringLiteral("200"); // not kept: all eight go back to the defaults
        load(path);
        ExpectMessage(path + QStringLiteral("\r\nThe file had invalid property values.  Default values will be set."),
                      MsgIcon::Information);
        QCOMPARE(App().Properties, ProgramProperties{});
        QCOMPARE(m_grid.CellText(PropertyGridModel::SynchByte, 2), QStringLiteral("255"));
        QCOMPARE(m_listing.ListItems(), QStringList{QStringLiteral("mov 1,2")}); // the listing still loads
    }

    void validEdgesPass()
    {
        ProgramProperties p;
        p.SynchByte = QStringLiteral("0");
        p.SmartDelay = QStringLiteral("(NONE)");
        p.ServoMax = QStringLiteral("255");
        p.ServoMin = QStringLiteral("255");
        p.ServoCenter = QStringLiteral("255");
        p.CommPort = QStringLiteral("4");
        QVERIFY(!PropertiesInvalid(p));
        p.SmartDelay = QStringLiteral("0.25");
        p.CommPort = QStringLiteral("1.5");   // compared as a real number
        p.ServoMax = QStringLiteral("254.5"); // whole number 254 (half to even) is below the minimum 255
        QVERIFY(PropertiesInvalid(p));
        p.ServoMax = QStringLiteral("255.4");
        QVERIFY(!PropertiesInvalid(p));
        p.InterInstructionDelay = QStringLiteral("whatever"); // not checked
        QVERIFY(!PropertiesInvalid(p));
    }

    void fileWithoutHeaderKeepsTheCurrentProperties()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("wave.tqs"));
        QVERIFY(WriteWholeFile(path, QStringLiteral("mov 1,2\r\n")));
        App().Properties = windowsProperties();
        load(path);
        QCOMPARE(App().Properties, windowsProperties());
    }

    void missingFileChangesNothing()
    {
        QVERIFY(WriteWholeFile(App().TempFilePath, QStringLiteral("mov 9,9\r\n")));
        m_listing.Update();
        App().Properties = windowsProperties();
        const QString path = DataPaths::ProgramsFolder() + QStringLiteral("/gone.tqp");
        load(path);
        QCOMPARE(TestMessages().takeTexts(),
                 QStringList{QStringLiteral("The program file ( ") + path + QStringLiteral(" ) could not be found.")});
        QVERIFY(App().CurrentProgramPath.isEmpty());
        QCOMPARE(App().Properties, windowsProperties());
        QCOMPARE(ReadWholeFile(App().TempFilePath), QStringLiteral("mov 9,9\r\n"));
        QCOMPARE(m_listing.ListItems(), QStringList{QStringLiteral("mov 9,9")});
    }

    void singleByteTextIsKeptByteForByte()
    {
        load(TestDataPath(QStringLiteral("program/latin1.tqp")));
        QFile temp(App().TempFilePath);
        QVERIFY(temp.open(QIODevice::ReadOnly));
        QCOMPARE(temp.readAll(), QByteArray("wav caf\xe9.wav\r\nwav \xc3\xa9t\xc3\xa9.wav\r\n"));
    }

    void saveAndReadBack()
    {
        load(TestDataPath(QStringLiteral("program/lone-cr.tqp")));
        QTemporaryDir dir;
        App().CurrentProgramPath = dir.filePath(QStringLiteral("copy.tqp"));
        QVERIFY(SaveProgram(false));
        QCOMPARE(m_shell.paths, QStringList{App().CurrentProgramPath});

        // Saved bytes are the canonical CR LF form of the same program.
        QFile saved(App().CurrentProgramPath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QFile golden(TestDataPath(QStringLiteral("program/windows.tqp")));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), golden.readAll());

        const QString savedPath = App().CurrentProgramPath;
        App().Properties = ProgramProperties{};
        QVERIFY(WriteWholeFile(App().TempFilePath, QString()));
        load(savedPath);
        QCOMPARE(m_listing.ListItems(), windowsListing());
        QCOMPARE(App().Properties, windowsProperties());
    }

    void saveTakesTheListFromTheTemporaryFile()
    {
        // Lines logged to the temporary file since the last reload are saved too.
        QVERIFY(WriteWholeFile(App().TempFilePath, QStringLiteral("mov 1,2\r\npause 10\r\n")));
        QTemporaryDir dir;
        App().CurrentProgramPath = dir.filePath(QStringLiteral("wave.tqs"));
        QVERIFY(SaveProgram(true));
        QCOMPARE(ReadWholeFile(App().CurrentProgramPath), QStringLiteral("mov 1,2\r\npause 10\r\n"));
        QVERIFY(m_shell.paths.isEmpty()); // scripts touch neither recent files nor title
    }

    void failedSaveIsReportedAndNotRemembered()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath(QStringLiteral("file"));
        QVERIFY(WriteWholeFile(blocker, QString()));
        App().CurrentProgramPath = blocker + QStringLiteral("/show.tqp");
        QVERIFY(!SaveProgram(false));
        const QStringList reports = TestMessages().takeTexts();
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports[0].startsWith(QStringLiteral("Routine Code: 0055\r\n")));
        QVERIFY(m_shell.paths.isEmpty());
    }

private:
    void load(const QString &path)
    {
        App().CurrentProgramPath = path;
        LoadProgramFile();
    }

    PropertyGridModel m_grid;
    ExecutionController m_listing;
    SavedPrograms m_shell;
};

TQ_TEST_MAIN(TestProgramFile)
#include "tst_ProgramFile.moc"
