#pragma once

// What every harness needs beside libFuzzer: a failed invariant is a finding, reported on
// standard error and ended with abort() so that libFuzzer keeps the input that caused it.

[[noreturn]] void FuzzFailure(const char* what);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            FuzzFailure(#condition);                                                               \
        }                                                                                          \
    } while (false)
