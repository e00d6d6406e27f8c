#include "support/TestSupport.h"

#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

#include <cstdio>
#include <utility>

namespace {
IsolatedHome *g_home = nullptr;
// Files named in bytes QDir cannot name, which its removal would leave behind.
QList<QByteArray> g_nativeFiles;
} // namespace

IsolatedHome::IsolatedHome()
{
    for (const auto &[variable, sub] :
         {std::pair{"HOME", "home"}, std::pair{"XDG_CONFIG_HOME", "config"}, std::pair{"XDG_DATA_HOME", "data"},
          std::pair{"XDG_CACHE_HOME", "cache"}, std::pair{"XDG_RUNTIME_DIR", "runtime"}}) {
        const QString path = m_dir.path() + QLatin1Char('/') + QString::fromLatin1(sub);
        QDir().mkpath(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(variable, path.toLocal8Bit());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_home = this;
}

void IsolatedHome::wipe() const
{
    for (const char *sub : {"config", "data"}) {
        QDir dir(m_dir.path() + QLatin1Char('/') + QString::fromLatin1(sub));
        dir.removeRecursively();
        QDir().mkpath(dir.path());
    }
}

RecordingMessages &TestMessages()
{
    static RecordingMessages messages;
    return messages;
}

QString TestDataPath(const QString &name)
{
    return QStringLiteral(TAVELOQ_TEST_DATA_DIR) + QLatin1Char('/') + name;
}

QList<QStringList> TestDataRows(const QString &name)
{
    QFile file(TestDataPath(name));
    QList<QStringList> rows;
    if (!file.open(QIODevice::ReadOnly))
        qFatal("test data %s cannot be read", qPrintable(name));
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1Char('#')))
            continue;
        QStringList fields;
        for (QString field : line.split(QLatin1Char('|'))) {
            field = field.trimmed();
            if (field.size() >= 2 && field.startsWith(QLatin1Char('"')) && field.endsWith(QLatin1Char('"')))
                field = field.mid(1, field.size() - 2);
            fields << field.replace(QLatin1String("\\r"), QLatin1String("\r"))
                          .replace(QLatin1String("\\n"), QLatin1String("\n"))
                          .replace(QLatin1String("\\t"), QLatin1String("\t"));
        }
        rows << fields;
    }
    return rows;
}

void AddTestDataRows(const QString &name)
{
    QTest::addColumn<QStringList>("row");
    for (const QStringList &row : TestDataRows(name))
        QTest::newRow(qPrintable(row[0])) << row;
}

void ExpectMessage(const QString &text, MsgIcon icon, MsgButtons buttons, const QString &title)
{
    const QList<MessageRequest> shown = TestMessages().take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, text);
    QCOMPARE(shown[0].icon, icon);
    QCOMPARE(shown[0].buttons, buttons);
    if (!title.isEmpty())
        QCOMPARE(shown[0].title, title);
}

void TestBase::init()
{
    if (g_home)
        g_home->wipe();
    TestMessages().clear();
    Services::setMessages(&TestMessages());
    Services::setClock(nullptr);
}

void TestBase::cleanup()
{
    for (const QByteArray &path : std::exchange(g_nativeFiles, {}))
        std::remove(path.constData());
    const QList<MessageRequest> left = TestMessages().take();
    for (const MessageRequest &m : left)
        qWarning("unexpected message box \"%s\": %s", qPrintable(m.title), qPrintable(m.text));
    QVERIFY2(left.isEmpty(), "the test left message boxes it did not expect");
}

void WriteNativeFile(const QByteArray &path, const QByteArray &bytes)
{
    g_nativeFiles << path;
    std::FILE *file = std::fopen(path.constData(), "wb");
    QVERIFY(file && std::fwrite(bytes.constData(), 1, bytes.size(), file) == size_t(bytes.size()));
    QVERIFY(std::fclose(file) == 0);
}

int RunTestMain(int argc, char **argv, QObject *test)
{
    Services::setMessages(&TestMessages());
    return QTest::qExec(test, argc, argv);
}
