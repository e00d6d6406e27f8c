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

        reg.SetDefault(QStringLiteral("fallback"));
        QCOMPARE(reg.Value().toString(), QStringLiteral("fallback"));

        // A missing section reads the same way.
        QVERIFY(!at(QStringLiteral("Software\\Nobody"), QStringLiteral("x")).Value().isValid());
    }

    void valuesComeBackWithTheirType_data() { AddTestDataRows(QStringLiteral("platform/registry-values.txt")); }
    void valuesComeBackWithTheirType()
    {
        QFETCH(QStringList, row);
        const auto value = [](int type, const QString &text) {
            return type == cRegistry::Binary   ? QVariant(QByteArray::fromHex(text.toLatin1()))
                   : type >= cRegistry::Number ? QVariant(qint32(text.toInt()))
                                               : QVariant(text);
        };
        const bool isShort = row[1] == QLatin1String("short");
        const int type = isShort ? int(cRegistry::Number) : row[1].toInt();
        qputenv("TAVELOQ_TEST_DIR", "/opt/figures");
        at(kKey, QStringLiteral("V"), type)
            .SetValue(isShort ? QVariant::fromValue(row[2].toShort()) : value(type, row[2]));
        // A fresh object, as the application reads it later; the stored type is reported back.
        cRegistry back = at(kKey, QStringLiteral("V"), cRegistry::MultiText);
        QCOMPARE(back.Value(), value(row[3].toInt(), row[4]));
        QCOMPARE(back.ValueType(), qint32(row[3].toInt()));
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

    // INIT written first, then the row's section and name; the value read back as INIT is the second.
    void namesIgnoreLetterCase_data() { AddTestDataRows(QStringLiteral("platform/registry-names.txt")); }
    void namesIgnoreLetterCase()
    {
        QFETCH(QStringList, row);
        at(kKey, QStringLiteral("INIT")).SetValue(QStringLiteral("1"));
        QFile store(cRegistry::StorePath());
        QVERIFY(row[3].isEmpty() || (store.open(QIODevice::Append) && store.write(row[3].toUtf8() + '\n') > 0));
        store.close();
        at(row[1], row[2]).SetValue(QStringLiteral("2"));
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
        QCOMPARE(ThrownNumber([&] { multi.SetValue(QStringLiteral("a")); }), cRegistry::kStoreError);
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
