#include "timesync/counter.h"

#include <windows.h>

namespace {

Ticks CounterFrequency() {
    LARGE_INTEGER frequency = {};
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

} // namespace

Ticks CounterNow() {
    static const Ticks frequency = CounterFrequency();
    LARGE_INTEGER count = {};
    QueryPerformanceCounter(&count);
    // Whole seconds and the rest apart, so that the product never overflows.
    return count.QuadPart / frequency * kTicksPerSecond +
           count.QuadPart % frequency * kTicksPerSecond / frequency;
}

void WaitForCounter(Ticks moment) {
    while (CounterNow() < moment)
        YieldProcessor();
}
