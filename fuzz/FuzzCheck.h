#pragma once
// What the fuzz targets share: a check that stops the run on a broken
// invariant, so libFuzzer keeps the input that broke it.
#include <cstdio>

// Says which invariant broke, then traps: libFuzzer reports a crash and saves the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken invariant: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)
