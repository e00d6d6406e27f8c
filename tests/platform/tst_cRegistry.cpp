#include "platform/AppError.h"
#include "platform/cRegistry.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <sys/stat.h>

namespace {

cRegistry at(const QString &section, const QString &name, qint32 type = cRegistry::Text)
{
    cRegistry reg;
    reg.SetClassKey(cRegistry::CurrentUser);
    reg.SetSectionKey(section);
    reg.SetValueKey(name);
    reg.SetValueType(type);
    return reg;
}

const QString kKey = QStringLiteral("Software\\Taveloq Team\\Taveloq");

} // namespace

class TestRegistry : public TestBase
{
    Q_OBJECT
private Q_SLOTS:
    void missingValuesGiveTheDefault()
    {
        cRegistry reg = at(kKey, QStringLiteral("Never"), cRegistry::Number);
        reg.SetValue(QStringLiteral("12")); // not integers: silently not written
        reg.SetValue(2.5);
        QVERIFY(!reg.Value().isValid());
        QCOMPARE(reg.ValueType(), qint32(cRegistry::Number)); // left as the caller set it

        reg.SetDefault(QStringLiteral("fallback"));
        QCOMPARE(reg.Value().toString(), QStringLiteral("fallback"));

        // A missing section reads the same way.
        QVERIFY(!at(QStringLiteral("Software\\Nobody"), QStringLiteral("x")).Value().isValid());
    }

    void valuesComeBackWithTheirType_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("read");
        QTest::addColumn<int>("readType");
        // Written with one type, read back with the value and the type the store reports.
        const auto row = [](const char *name, const QVariant &value, int type, const QVariant &read, int readType) {
            QTest::newRow(name) << value << type << read << readType;
        };
        const auto text = [](const char *t) { return QVariant(QString::fromLatin1(t)); };
        const QVariant bytes(QByteArray("\x00\xff\x10", 3));
        row("number", qint32(-7), cRegistry::Number, qint32(-7), cRegistry::Number);
        row("short", QVariant::fromValue<short>(4), cRegistry::Number, qint32(4), cRegistry::Number);
        row("binary", bytes, cRegistry::Binary, bytes, cRegistry::Binary);
        row("big-endian is stored as a plain number", qint32(0x01020304), cRegistry::NumberBigEndian,
            qint32(0x01020304), cRegistry::Number);
        row("single percent", text("100% sure"), cRegistry::Text, text("100% sure"), cRegistry::Text);
        // The second % must come at least two characters after the first.
        row("adjacent percents", text("a%%b"), cRegistry::Text, text("a%%b"), cRegistry::Text);
        row("reference", text("%TAVELOQ_TEST_DIR%/haunt.tqp"), cRegistry::Text, text("/opt/figures/haunt.tqp"),
            cRegistry::ExpandText);
        row("unknown reference", text("%TAVELOQ_NO_SUCH_VARIABLE%/x"), cRegistry::Text,
            text("%TAVELOQ_NO_SUCH_VARIABLE%/x"), cRegistry::ExpandText);
    }
    void valuesComeBackWithTheirType()
    {
        QFETCH(QVariant, value);
        QFETCH(int, type);
        QFETCH(QVariant, read);
        QFETCH(int, readType);
        qputenv("TAVELOQ_TEST_DIR", "/opt/figures");
        at(kKey, QStringLiteral("V"), type).SetValue(value);
        // A fresh object, as the application reads it later; the stored type is reported back.
        cRegistry back = at(kKey, QStringLiteral("V"), cRegistry::MultiText);
        QCOMPARE(back.Value(), read);
        QCOMPARE(back.ValueType(), qint32(readType));
    }

    void bigEndianValuesAreReversedOnRead()
    {
        // A value stored big-endian by another writer of the same store.
        {
            QSettings store(cRegistry::StorePath(), QSettings::IniFormat);
            store.setValue(QStringLiteral("HKEY_CURRENT_USER/Software/Taveloq Team/Taveloq/BE"),
                           QStringLiteral("5:00000102"));
        }
        cRegistry reg = at(kKey, QStringLiteral("BE"));
        QCOMPARE(reg.Value(), QVariant(qint32(258)));
        QCOMPARE(reg.ValueType(), qint32(cRegistry::NumberBigEndian));
    }

    void keyExistsLooksAtTheSectionOnly()
    {
        QVERIFY(!at(kKey, QStringLiteral("INIT")).KeyExists());
        at(kKey, QStringLiteral("INIT"), cRegistry::Number).SetValue(qint32(1));
        QVERIFY(cRegistry::StorePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/')));
        QVERIFY(QFile::exists(cRegistry::StorePath()));
        QVERIFY(at(kKey, QStringLiteral("Absent")).KeyExists());
        QVERIFY(at(QStringLiteral("Software\\Taveloq Team"), QString()).KeyExists()); // a parent section
        QVERIFY(!at(QStringLiteral("Software\\Taveloq Team\\Other"), QString()).KeyExists());
        // Sections are kept per root.
        cRegistry machine = at(kKey, QStringLiteral("INIT"));
        machine.SetClassKey(cRegistry::LocalMachine);
        QVERIFY(!machine.KeyExists());
    }

    void namesIgnoreLetterCase_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::newRow("value name") << kKey << "init";
        QTest::newRow("section") << kKey.toUpper() << "INIT";
        QTest::newRow("corrupt file") << kKey << "INIT";
    }
    void namesIgnoreLetterCase()
    {
        QFETCH(QString, section);
        QFETCH(QString, name);
        at(kKey, QStringLiteral("INIT")).SetValue(QStringLiteral("1"));
        QFile store(cRegistry::StorePath());
        QVERIFY(QByteArray(QTest::currentDataTag()) != "corrupt file" ||
                (store.open(QIODevice::Append) && store.write("no equals sign\n") > 0));
        store.close();
        at(section, name).SetValue(QStringLiteral("2"));
        QCOMPARE(at(kKey, QStringLiteral("INIT")).Value(), QVariant(QStringLiteral("2")));
    }

    void namesWithSeparatorsStayOneValue()
    {
        cRegistry reg = at(kKey, QStringLiteral("File1/odd\\name"));
        reg.SetValue(QStringLiteral("x"));
        QCOMPARE(at(kKey, QStringLiteral("File1/odd\\name")).Value().toString(), QStringLiteral("x"));
        QVERIFY(!at(kKey + QStringLiteral("\\File1"), QStringLiteral("odd")).KeyExists());
    }

    void storeErrors()
    {
        cRegistry multi = at(kKey, QStringLiteral("Multi"), cRegistry::MultiText);
        try {
            multi.SetValue(QStringLiteral("a"));
            QFAIL("the store accepted the write");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), cRegistry::kStoreError);
            QCOMPARE(e.description(), QStringLiteral("Failed to set registry value Key: '-2147483647',Section: '") +
                                          kKey + QStringLiteral("',Key: 'Multi' to value: 'a'"));
        }
        cRegistry binary = at(kKey, QStringLiteral("Bin"), cRegistry::Binary);
        QCOMPARE(ThrownNumber([&] { binary.SetValue(QStringLiteral("not bytes")); }), cRegistry::kStoreError);

        // A store that cannot be written: its folder is a file.
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Taveloq");
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        cRegistry number = at(kKey, QStringLiteral("INIT"), cRegistry::Number);
        QCOMPARE(ThrownNumber([&] { number.SetValue(qint32(1)); }), cRegistry::kStoreError);
        QVERIFY(QFile::remove(folder));

        // A store that is no file: a FIFO is neither waited on nor replaced.
        QVERIFY(QDir().mkpath(folder) && mkfifo(qPrintable(cRegistry::StorePath()), 0600) == 0);
        QVERIFY(!number.Value().isValid());
        QCOMPARE(ThrownNumber([&] { number.SetValue(qint32(1)); }), ErrorNumber::kPathFileAccess);
        QVERIFY(QFileInfo(cRegistry::StorePath()).exists() && !QFileInfo(cRegistry::StorePath()).isFile());
    }
};

TQ_TEST_MAIN(TestRegistry)
#include "tst_cRegistry.moc"
