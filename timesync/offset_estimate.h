#pragma once

#include "timesync/ticks.h"

#include <cstdint>

// One answer of a time server, with the moments of its query on the monotonic counter.
struct TimeAnswer {
    std::uint32_t count = 0; // the four bytes in host order, as they came
    Ticks connectStart = 0;  // the connect was started
    Ticks connectDone = 0;   // the connect completed
    Ticks arrival = 0;       // the fourth byte arrived
};

// The server's clock against the counter: at counter moment c the server's time, in ticks since
// 1900, is c + offset, within ± halfWidth.
struct CounterOffset {
    Ticks offset = 0;
    Ticks halfWidth = 0;
};

// The local clock (ticks since 1900) and the counter, read at one moment.
struct ClockReading {
    Ticks counter = 0;
    Ticks clock = 0;
};

// What the local clock lacks to show the server's time: positive when it is slow, negative when
// it is fast, within ± halfWidth.
struct ClockCorrection {
    Ticks amount = 0;
    Ticks halfWidth = 0;
};

// When the server stamped its count, on the counter: the arrival less half the connect time.
Ticks StampMoment(const TimeAnswer& answer);

// What one answer alone tells: the middle of the server's second at the stamp, within half a
// second plus half the connect time (what an uneven path can hide).
CounterOffset OffsetFromAnswer(const TimeAnswer& answer);

// The server's time, in ticks since 1900, at a moment of the counter: the value to set.
Ticks ServerTimeAt(const CounterOffset& server, Ticks counter);

// How far the local clock read at `local` is from the server's time.
ClockCorrection CorrectionOf(const CounterOffset& server, const ClockReading& local);
