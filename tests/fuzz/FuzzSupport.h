#pragma once

// What every fuzz target shares: a Qt core application whose user data and settings live in a
// private temporary folder, the input as file text, and a check that stops the run when it fails.

#include "app/FileHelpers.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

/// Sets up the application once; the folder it returns holds the user's data and settings.
inline QString FuzzHome()
{
    static QTemporaryDir home;
    static const bool ready = [] {
        qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
        static int argc = 1;
        static char name[] = "fuzz";
        static char *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        // Qt's warnings about odd file names and stored types would bury libFuzzer's report.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        return true;
    }();
    (void)ready;
    return home.path();
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzHome();
    return 0;
}

inline QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

/// The input read as a file's text is read.
inline QString FuzzText(const uint8_t *data, size_t size)
{
    return DecodeFileText(FuzzBytes(data, size));
}
