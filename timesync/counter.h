#pragma once
// The monotonic counter (QueryPerformanceCounter) in 100-ns ticks: every moment of an exchange.

#include "timesync/ticks.h"

// The counter now, in ticks.
Ticks CounterNow();

// Waits until the counter reaches the moment: a timer would wake up to a tick late, so the last
// stretch is polled.
void WaitForCounter(Ticks moment);
