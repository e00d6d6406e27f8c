#pragma once

#include "platform/AppError.h"
#include "support/RecordingMessages.h"

#include <QCoreApplication>
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
    QString path() const { return m_dir.path(); }
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

/// Takes the one message box shown and checks what the user sees of it.
void ExpectMessage(const QString &text, MsgIcon icon, MsgButtons buttons = MsgButtons::OkCancel);

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

/// Points PATH at one folder while it lives, so the test decides which programs exist.
class ScopedPath
{
public:
    explicit ScopedPath(const QString &folder);
    ~ScopedPath();

private:
    QByteArray m_old;
};

/// Writes a shell script `body` to `path` and makes it executable.
void WriteScript(const QString &path, const QByteArray &body);

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
