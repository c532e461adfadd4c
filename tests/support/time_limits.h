#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>

// A time bound for a test, stretched when Wine's heap checks (WINEDEBUG with "heap") slow every
// allocation down; a hang still fails, only later. The checks look over the whole heap at each
// allocation, so work that holds many blocks (a list of 5000 rows) slows down about thirty times.
inline ULONGLONG ScaledTimeLimitMs(ULONGLONG normalMs) {
    const char* const debug = std::getenv("WINEDEBUG");
    return debug && std::strstr(debug, "heap") ? normalMs * 40 : normalMs;
}
