#include "timesync/clock_update.h"

#include "timesync/activity_log.h"
#include "timesync/counter.h"
#include "timesync/failure_hint.h"
#include "timesync/sync_lines.h"
#include "timesync/timesync_texts.h"

#include <cstdlib>
#include <string>

namespace {

constexpr LCID kLocale = LOCALE_USER_DEFAULT;
constexpr DWORD kDateFlags = LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE;
constexpr DWORD kTimeFlags = LOCALE_NOUSEROVERRIDE | TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER;
constexpr int kFormatCapacity = 128;
// 1900-01-01 00:00:00 UTC as a file time (100-ns intervals since 1601).
constexpr Ticks kFileTimeOf1900 = 94'354'848'000'000'000;

struct FormattedTime {
    wchar_t date[kFormatCapacity] = {};
    wchar_t time[kFormatCapacity] = {};
};

FormattedTime Format(const SYSTEMTIME& when) {
    FormattedTime text;
    GetDateFormatW(kLocale, kDateFlags, &when, nullptr, text.date, kFormatCapacity);
    GetTimeFormatW(kLocale, kTimeFlags, &when, nullptr, text.time, kFormatCapacity);
    return text;
}

void ReportYearOutOfRange(const SYSTEMTIME& received) {
    // The date goes in as plain text, never as part of a format.
    AppendLog(g_hLogEdit, L"%s%s%s", kLogYearOutOfRangeStart, Format(received).date,
              kLogYearOutOfRangeEnd);
}

SYSTEMTIME ReadLocalTime() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return now;
}

bool WriteSystemTime(const SYSTEMTIME& utc) {
    return SetSystemTime(&utc) != FALSE;
}

Ticks TicksOf(const FILETIME& time) {
    const ULARGE_INTEGER intervals = {{time.dwLowDateTime, time.dwHighDateTime}};
    return static_cast<Ticks>(intervals.QuadPart) - kFileTimeOf1900;
}

} // namespace

ClockAccess g_clockAccess = {ReadLocalTime, WriteSystemTime};

SYSTEMTIME TimeFromTicksSince1900(Ticks utc) {
    const auto intervals = static_cast<ULONGLONG>(utc + kFileTimeOf1900);
    const FILETIME fileTime = {static_cast<DWORD>(intervals), static_cast<DWORD>(intervals >> 32)};
    SYSTEMTIME time = {};
    FileTimeToSystemTime(&fileTime, &time);
    return time;
}

SYSTEMTIME TimeFromSecondsSince1900(std::int64_t seconds) {
    return TimeFromTicksSince1900(seconds * kTicksPerSecond);
}

Ticks PreciseUtcNow() {
    using ReadClock = void(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<ReadClock>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now = {};
    (precise ? precise : GetSystemTimeAsFileTime)(&now);
    return TicksOf(now);
}

Ticks TicksSince1900(const SYSTEMTIME& utc) {
    FILETIME time = {};
    SystemTimeToFileTime(&utc, &time);
    return TicksOf(time);
}

bool IsWithinTenYears(int receivedYear, int localYear) {
    return std::abs(receivedYear - localYear) <= 10;
}

ClockOutcome UpdateSystemClock(const CounterOffset& server) {
    const SYSTEMTIME before = g_clockAccess.localTime();
    const ClockReading local = {CounterNow(), g_clockAccess.utcNow()};
    const SYSTEMTIME received = TimeFromTicksSince1900(ServerTimeAt(server, CounterNow()));
    if (!IsWithinTenYears(received.wYear, before.wYear)) {
        ReportYearOutOfRange(received);
        return ClockOutcome::RefusedByYear;
    }
    const bool set = g_clockAccess.setSystemTime(received);
    const auto error = static_cast<int>(GetLastError());
    if (set) {
        ReportClockChange(g_hLogEdit, before, g_clockAccess.localTime());
    } else {
        AppendLog(g_hLogEdit, kLogClockNotSet, error);
        AppendFailureHint(g_hLogEdit, error, HintShape::Line);
    }
    const std::wstring correction = ClockCorrectionLine(CorrectionOf(server, local));
    AppendLog(g_hLogEdit, kLogCorrection, correction.c_str());
    return set ? ClockOutcome::Set : ClockOutcome::NotSettable;
}

void ReportClockChange(HWND target, const SYSTEMTIME& before, const SYSTEMTIME& after) {
    const FormattedTime old = Format(before);
    const FormattedTime now = Format(after);
    AppendLog(target, kLogClockChanged, old.date, old.time, before.wMilliseconds, now.date,
              now.time, after.wMilliseconds);
}
