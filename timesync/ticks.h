#pragma once

#include <cstdint>

// Moments and spans in 100-nanosecond ticks: moments of the monotonic counter (its readings
// converted to ticks by the caller), or of UTC since 1900-01-01 00:00:00 (a FILETIME less the
// FILETIME of 1900).
using Ticks = std::int64_t;

inline constexpr Ticks kTicksPerSecond = 10'000'000;
inline constexpr Ticks kTicksPerMillisecond = 10'000;
