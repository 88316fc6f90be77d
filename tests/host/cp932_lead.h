#pragma once
// The lead bytes of code page 932, the page the program is written for. The
// program asks the system for its test at start; host builds install this one.
#include "core/text.h"

#include <cstdio>
#include <cstdlib>

inline bool Cp932Lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// A broken property is a finding like a crash: abort, so that the fuzzer keeps
// the input that broke it.
#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)
