#pragma once

#include "platform/AppError.h"
#include "support/RecordingMessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

/// Points HOME and the XDG folders at a fresh temporary folder for the whole
/// test process, so no test can touch a real user's files.
class IsolatedHome
{
public:
    IsolatedHome();
    /// Empties the data and configuration folders between tests.
    void wipe() const;

private:
    QTemporaryDir m_dir;
};

/// The message service every test runs with.
RecordingMessages &TestMessages();

/// A checked-in test file under tests/data.
QString TestDataPath(const QString &name);

/// The rows of a checked-in table under tests/data: a line a row, fields split at '|' and trimmed,
/// a field in double quotes keeps its blanks, \r \n \t stand for those characters; '#' starts a comment.
QList<QStringList> TestDataRows(const QString &name);

/// For a _data function: one column "row" holding each row of the table, named by its first field.
void AddTestDataRows(const QString &name);

/// Takes the one message box shown and checks what the user sees of it (the title when one is given).
void ExpectMessage(const QString &text, MsgIcon icon, MsgButtons buttons = MsgButtons::OkCancel,
                   const QString &title = {});

/// Writes a file named by the system's bytes: a name in Latin-1 bytes, as older systems wrote them.
/// The test's cleanup removes it.
void WriteNativeFile(const QByteArray &path, const QByteArray &bytes);

/// The error number `f` throws as an AppError, 0 when it throws nothing.
template <typename F> int ThrownNumber(F &&f)
{
    try {
        f();
    } catch (const AppError &e) {
        return e.number();
    }
    return 0;
}

/// PATH pointed at a fresh folder while it lives, which gets the shell scripts the test wants to exist.
struct ScopedPath
{
    const QTemporaryDir dir;
    const QByteArray old = qgetenv("PATH");
    ScopedPath() { qputenv("PATH", QFile::encodeName(dir.path())); }
    ~ScopedPath() { qputenv("PATH", old); }
    void AddScript(const QString &name, const QByteArray &body) const
    {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("#!/bin/sh\n" + body + "\n") > 0);
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
};

/// Base of the test classes: fresh data and settings folders, and a failure for
/// any test that leaves a message box it did not take (an unexpected error report).
class TestBase : public QObject
{
    Q_OBJECT
protected Q_SLOTS:
    void init();
    void cleanup();
};

int RunTestMain(int argc, char **argv, QObject *test);

#define TQ_TEST_MAIN_IMPL(TestClass, AppClass)                                                                         \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        IsolatedHome home;                                                                                             \
        AppClass app(argc, argv);                                                                                      \
        TestClass test;                                                                                                \
        return RunTestMain(argc, argv, &test);                                                                         \
    }

/// A test without a display.
#define TQ_TEST_MAIN(TestClass) TQ_TEST_MAIN_IMPL(TestClass, QCoreApplication)
/// A window test (offscreen platform); the test includes <QApplication>.
#define TQ_TEST_GUI_MAIN(TestClass) TQ_TEST_MAIN_IMPL(TestClass, QApplication)
