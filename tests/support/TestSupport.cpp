#include "support/TestSupport.h"

#include "platform/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace {
IsolatedHome *g_home = nullptr;
}

IsolatedHome::IsolatedHome()
{
    const QString base = m_dir.path();
    for (const char *sub : {"home", "config", "data", "cache", "runtime"})
        QDir(base).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(base + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", (base + QStringLiteral("/home")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (base + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", (base + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (base + QStringLiteral("/cache")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (base + QStringLiteral("/runtime")).toLocal8Bit());
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

void ExpectMessage(const QString &text, MsgIcon icon, MsgButtons buttons)
{
    const QList<MessageRequest> shown = TestMessages().take();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].text, text);
    QCOMPARE(shown[0].icon, icon);
    QCOMPARE(shown[0].buttons, buttons);
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
    const QList<MessageRequest> left = TestMessages().take();
    for (const MessageRequest &m : left)
        qWarning("unexpected message box \"%s\": %s", qPrintable(m.title), qPrintable(m.text));
    QVERIFY2(left.isEmpty(), "the test left message boxes it did not expect");
}

int RunTestMain(int argc, char **argv, QObject *test)
{
    Services::setMessages(&TestMessages());
    return QTest::qExec(test, argc, argv);
}
