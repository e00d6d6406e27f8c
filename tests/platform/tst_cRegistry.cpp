#include "platform/AppError.h"
#include "platform/cRegistry.h"
#include "support/TestSupport.h"

#include <QFile>

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
    void storeLivesUnderTheConfigHome()
    {
        QVERIFY(cRegistry::StorePath().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME") + QLatin1Char('/')));
        at(kKey, QStringLiteral("INIT"), cRegistry::Number).SetValue(qint32(1));
        QVERIFY(QFile::exists(cRegistry::StorePath()));
    }

    void missingValuesGiveTheDefault()
    {
        cRegistry reg = at(kKey, QStringLiteral("Never"), cRegistry::Number);
        QVERIFY(!reg.Value().isValid());
        QCOMPARE(reg.ValueType(), qint32(cRegistry::Number)); // left as the caller set it

        reg.SetDefault(QStringLiteral("fallback"));
        QCOMPARE(reg.Value().toString(), QStringLiteral("fallback"));

        // A missing section reads the same way.
        QVERIFY(!at(QStringLiteral("Software\\Nobody"), QStringLiteral("x")).Value().isValid());
    }

    void typesRoundTrip()
    {
        cRegistry text = at(kKey, QStringLiteral("Start-Up Config"));
        text.SetValue(QStringLiteral("/home/me/Config/haunt.tqc"));
        cRegistry number = at(kKey, QStringLiteral("Count"), cRegistry::Number);
        number.SetValue(qint32(-7));
        cRegistry shortNumber = at(kKey, QStringLiteral("MaxCount"), cRegistry::Number);
        shortNumber.SetValue(QVariant::fromValue<short>(4));
        cRegistry binary = at(kKey, QStringLiteral("Blob"), cRegistry::Binary);
        binary.SetValue(QByteArray("\x00\xff\x10", 3));

        // Fresh objects, as the application reads them later; the type is reported back.
        cRegistry r1 = at(kKey, QStringLiteral("Start-Up Config"), cRegistry::Number);
        QCOMPARE(r1.Value().toString(), QStringLiteral("/home/me/Config/haunt.tqc"));
        QCOMPARE(r1.ValueType(), qint32(cRegistry::Text));
        cRegistry r2 = at(kKey, QStringLiteral("Count"));
        QCOMPARE(r2.Value(), QVariant(qint32(-7)));
        QCOMPARE(r2.ValueType(), qint32(cRegistry::Number));
        QCOMPARE(at(kKey, QStringLiteral("MaxCount")).Value(), QVariant(qint32(4)));
        cRegistry r4 = at(kKey, QStringLiteral("Blob"));
        QCOMPARE(r4.Value().toByteArray(), QByteArray("\x00\xff\x10", 3));
        QCOMPARE(r4.ValueType(), qint32(cRegistry::Binary));
    }

    void bigEndianIsStoredAsAPlainNumber()
    {
        cRegistry reg = at(kKey, QStringLiteral("BE"), cRegistry::NumberBigEndian);
        reg.SetValue(qint32(0x01020304));
        cRegistry back = at(kKey, QStringLiteral("BE"));
        QCOMPARE(back.Value(), QVariant(qint32(0x01020304)));
        QCOMPARE(back.ValueType(), qint32(cRegistry::Number));
    }

    void bigEndianValuesAreReversedOnRead()
    {
        // A value stored big-endian by another writer of the same store.
        {
            QSettings store(cRegistry::StorePath(), QSettings::IniFormat);
            store.setValue(QStringLiteral("HKEY_CURRENT_USER/Software/Taveloq Team/Taveloq/BE"), QStringLiteral("5:00000102"));
        }
        cRegistry reg = at(kKey, QStringLiteral("BE"));
        QCOMPARE(reg.Value(), QVariant(qint32(258)));
        QCOMPARE(reg.ValueType(), qint32(cRegistry::NumberBigEndian));
    }

    void nonIntegersAreNotWrittenAsNumbers()
    {
        cRegistry reg = at(kKey, QStringLiteral("N"), cRegistry::Number);
        reg.SetValue(QStringLiteral("12"));   // text: silently not written
        reg.SetValue(2.5);                     // double: likewise
        QVERIFY(!at(kKey, QStringLiteral("N")).Value().isValid());
    }

    void percentReferences()
    {
        qputenv("TAVELOQ_TEST_DIR", "/opt/figures");
        cRegistry single = at(kKey, QStringLiteral("Single"));
        single.SetValue(QStringLiteral("100% sure"));
        cRegistry adjacent = at(kKey, QStringLiteral("Adjacent"));
        adjacent.SetValue(QStringLiteral("a%%b")); // the second % must come at least two characters later
        cRegistry ref = at(kKey, QStringLiteral("Ref"));
        ref.SetValue(QStringLiteral("%TAVELOQ_TEST_DIR%/haunt.tqp"));
        cRegistry unknown = at(kKey, QStringLiteral("Unknown"));
        unknown.SetValue(QStringLiteral("%TAVELOQ_NO_SUCH_VARIABLE%/x"));

        cRegistry r1 = at(kKey, QStringLiteral("Single"));
        QCOMPARE(r1.Value().toString(), QStringLiteral("100% sure"));
        QCOMPARE(r1.ValueType(), qint32(cRegistry::Text));
        cRegistry r2 = at(kKey, QStringLiteral("Adjacent"));
        QCOMPARE(r2.Value().toString(), QStringLiteral("a%%b"));
        QCOMPARE(r2.ValueType(), qint32(cRegistry::Text));
        cRegistry r3 = at(kKey, QStringLiteral("Ref"));
        QCOMPARE(r3.Value().toString(), QStringLiteral("/opt/figures/haunt.tqp"));
        QCOMPARE(r3.ValueType(), qint32(cRegistry::ExpandText));
        QCOMPARE(at(kKey, QStringLiteral("Unknown")).Value().toString(), QStringLiteral("%TAVELOQ_NO_SUCH_VARIABLE%/x"));
    }

    void keyExistsLooksAtTheSectionOnly()
    {
        QVERIFY(!at(kKey, QStringLiteral("INIT")).KeyExists());
        at(kKey, QStringLiteral("INIT"), cRegistry::Number).SetValue(qint32(1));
        QVERIFY(at(kKey, QStringLiteral("Absent")).KeyExists());
        QVERIFY(at(QStringLiteral("Software\\Taveloq Team"), QString()).KeyExists()); // a parent section
        QVERIFY(!at(QStringLiteral("Software\\Taveloq Team\\Other"), QString()).KeyExists());
        // Sections are kept per root.
        cRegistry machine = at(kKey, QStringLiteral("INIT"));
        machine.SetClassKey(cRegistry::LocalMachine);
        QVERIFY(!machine.KeyExists());
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
        checkStoreError([&] { multi.SetValue(QStringLiteral("a")); },
                        QStringLiteral("Failed to set registry value Key: '-2147483647',Section: '") + kKey
                            + QStringLiteral("',Key: 'Multi' to value: 'a'"));
        cRegistry binary = at(kKey, QStringLiteral("Bin"), cRegistry::Binary);
        checkStoreError([&] { binary.SetValue(QStringLiteral("not bytes")); }, QString());

        // A store that cannot be written: its folder is a file.
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Taveloq");
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        cRegistry text = at(kKey, QStringLiteral("INIT"), cRegistry::Number);
        checkStoreError([&] { text.SetValue(qint32(1)); }, QString());
        QVERIFY(QFile::remove(folder));
    }

private:
    template <typename F>
    void checkStoreError(F f, const QString &description)
    {
        try {
            f();
            QFAIL("the store accepted the write");
        } catch (const AppError &e) {
            QCOMPARE(e.number(), cRegistry::kStoreError);
            if (!description.isEmpty())
                QCOMPARE(e.description(), description);
        }
    }
};

TQ_TEST_MAIN(TestRegistry)
#include "tst_cRegistry.moc"
