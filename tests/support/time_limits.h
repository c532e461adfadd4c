#pragma once

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

// How long the work took, in milliseconds.
template <typename Work> double ElapsedMs(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// A time bound for a test, stretched when Wine's heap checks (WINEDEBUG with "heap") slow every
// allocation down; a hang still fails, only later. The checks look over the whole heap at each
// allocation, so work that holds many blocks (a list of 5000 rows) slows down about thirty times.
inline bool HeapChecksAreOn() {
    const char* const debug = std::getenv("WINEDEBUG");
    return debug && std::strstr(debug, "heap");
}
inline ULONGLONG ScaledTimeLimitMs(ULONGLONG normalMs) {
    return HeapChecksAreOn() ? normalMs * 40 : normalMs;
}
// Files of hundreds of thousands of nodes take hours under the heap checks; the heap is watched
// over smaller files of the same shapes.
#define SKIP_VOLUME_UNDER_HEAP_CHECKS()                                                            \
    if (HeapChecksAreOn())                                                                         \
    GTEST_SKIP() << "too large for Wine's heap checks"
