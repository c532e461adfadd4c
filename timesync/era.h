#pragma once

#include <cstdint>

// The first moment a count can stand for: 2026-01-01 00:00:00 UTC, in seconds since 1900. Fixed
// in the code, so that the era never depends on the local clock.
inline constexpr std::int64_t kEraPivotSecondsSince1900 = 3'976'214'400;

// The seconds since 1900-01-01 00:00:00 UTC that a 32-bit RFC 868 count stands for: the one time
// in [pivot, pivot + 2^32 s) with that count, so a count after the 2036 wrap reads as 2036 on.
std::int64_t ResolveSecondsSince1900(std::uint32_t count);
