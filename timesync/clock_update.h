#pragma once
// The clock update: the ten-year guard, the setting of the clock and its report.

#include <windows.h>

#include <cstdint>

// The server's count of seconds since 1900-01-01 00:00:00 UTC as a UTC calendar time.
SYSTEMTIME TimeFromSecondsSince1900(std::uint32_t seconds);

// A received year is accepted when it lies at most ten years from the local year.
bool IsWithinTenYears(int receivedYear, int localYear);

// The only way the clock update reads and sets the system clock; a test puts its own in place.
struct ClockAccess {
    SYSTEMTIME (*localTime)();
    // False when the clock was not set, with the reason in GetLastError().
    bool (*setSystemTime)(const SYSTEMTIME& utc);
};
extern ClockAccess g_clockAccess; // GetLocalTime and SetSystemTime unless a test replaced them

enum class ClockOutcome { Set, RefusedByYear, NotSettable };

// Sets the clock from g_serverTime unless the ten-year guard refuses it, and logs the outcome
// in g_hLogEdit.
ClockOutcome UpdateSystemClock();

// Logs the old and the new local date and time.
void ReportClockChange(HWND target, const SYSTEMTIME& before, const SYSTEMTIME& after);
