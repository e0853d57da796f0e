#pragma once

#include <QByteArray>
#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: the application that painting and fonts need, headless, and a
// check that stops the run with a finding when a reader breaks its own promise.

// Creates the one application of the process on the offscreen platform; call it from
// LLVMFuzzerInitialize.
inline void startHeadlessApplication()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    (void)application;
}

// The input bytes as a QByteArray of their own (the fuzzer's buffer is only lent).
inline QByteArray inputBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Aborts, which libFuzzer reports as a crash with this input, when a promise is broken.
#define FUZZ_CHECK(condition)                                                                   \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)
