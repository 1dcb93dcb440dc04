// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

// A broken promise ends the run like a crash, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n", __FILE__, __LINE__, what);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Shows a text on standard error before a check about it fails.
inline void fuzzShow(const char* label, const QString& text)
{
    std::fprintf(stderr, "%s: [%s]\n", label, text.toUtf8().toPercentEncoding(" ").constData());
}
