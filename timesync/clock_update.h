#pragma once
// The clock update: the ten-year guard, the setting of the clock and its report.

#include "timesync/offset_estimate.h"
#include "timesync/ticks.h"

#include <windows.h>

#include <cstdint>

// Seconds since 1900-01-01 00:00:00 UTC as a UTC calendar time.
SYSTEMTIME TimeFromSecondsSince1900(std::int64_t seconds);
// The same for ticks since 1900, to the millisecond (rounded down), and back.
SYSTEMTIME TimeFromTicksSince1900(Ticks utc);
Ticks TicksSince1900(const SYSTEMTIME& utc);

// The system clock now, in ticks since 1900: GetSystemTimePreciseAsFileTime where the system has
// it (Windows 8 and later), GetSystemTimeAsFileTime before.
Ticks PreciseUtcNow();

// A received year is accepted when it lies at most ten years from the local year.
bool IsWithinTenYears(int receivedYear, int localYear);

// The only way the clock update reads and sets the system clock; a test puts its own in place.
struct ClockAccess {
    SYSTEMTIME (*localTime)() = nullptr;
    // False when the clock was not set, with the reason in GetLastError().
    bool (*setSystemTime)(const SYSTEMTIME& utc) = nullptr;
    Ticks (*utcNow)() = PreciseUtcNow; // the clock, read beside the counter
};
extern ClockAccess g_clockAccess; // GetLocalTime and SetSystemTime unless a test replaced them

enum class ClockOutcome { Set, RefusedByYear, NotSettable };

// Sets the clock to the server's time now, as the server's clock against the counter tells it,
// unless the ten-year guard refuses it, and logs the outcome in g_hLogEdit: the report, or the
// failure, followed by how far the local clock was off.
ClockOutcome UpdateSystemClock(const CounterOffset& server);

// Logs the old and the new local date and time.
void ReportClockChange(HWND target, const SYSTEMTIME& before, const SYSTEMTIME& after);
