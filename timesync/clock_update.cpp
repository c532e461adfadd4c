#include "timesync/clock_update.h"

#include "timesync/activity_log.h"
#include "timesync/failure_hint.h"
#include "timesync/exchange_values.h"
#include "timesync/timesync_texts.h"

#include <cstdlib>
#include <string>

namespace {

constexpr LCID kLocale = LOCALE_USER_DEFAULT;
constexpr DWORD kDateFlags = LOCALE_NOUSEROVERRIDE | DATE_SHORTDATE;
constexpr DWORD kTimeFlags = LOCALE_NOUSEROVERRIDE | TIME_FORCE24HOURFORMAT | TIME_NOTIMEMARKER;
constexpr int kFormatCapacity = 128;
constexpr ULONGLONG kIntervalsPerSecond = 10'000'000;

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
    const std::wstring line =
        std::wstring(kLogYearOutOfRangeStart) + Format(received).date + kLogYearOutOfRangeEnd;
    AppendLog(g_hLogEdit, L"%s", line.c_str());
}

SYSTEMTIME ReadLocalTime() {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    return now;
}

bool WriteSystemTime(const SYSTEMTIME& utc) {
    return SetSystemTime(&utc) != FALSE;
}

} // namespace

ClockAccess g_clockAccess = {ReadLocalTime, WriteSystemTime};

SYSTEMTIME TimeFromSecondsSince1900(std::uint32_t seconds) {
    SYSTEMTIME epoch = {};
    epoch.wYear = 1900;
    epoch.wMonth = 1;
    epoch.wDay = 1;
    FILETIME epochTime = {};
    SystemTimeToFileTime(&epoch, &epochTime);

    ULARGE_INTEGER sum = {};
    sum.LowPart = epochTime.dwLowDateTime;
    sum.HighPart = epochTime.dwHighDateTime;
    sum.QuadPart += seconds * kIntervalsPerSecond;

    const FILETIME receivedTime = {sum.LowPart, sum.HighPart};
    SYSTEMTIME received = {};
    FileTimeToSystemTime(&receivedTime, &received);
    return received;
}

bool IsWithinTenYears(int receivedYear, int localYear) {
    return std::abs(receivedYear - localYear) <= 10;
}

ClockOutcome UpdateSystemClock() {
    const SYSTEMTIME before = g_clockAccess.localTime();
    const SYSTEMTIME received = TimeFromSecondsSince1900(g_serverTime);
    if (!IsWithinTenYears(received.wYear, before.wYear)) {
        ReportYearOutOfRange(received);
        return ClockOutcome::RefusedByYear;
    }
    if (!g_clockAccess.setSystemTime(received)) {
        const auto error = static_cast<int>(GetLastError());
        AppendLog(g_hLogEdit, kLogClockNotSet, error);
        AppendFailureHint(g_hLogEdit, error, HintShape::Line);
        return ClockOutcome::NotSettable;
    }
    ReportClockChange(g_hLogEdit, before, g_clockAccess.localTime());
    return ClockOutcome::Set;
}

void ReportClockChange(HWND target, const SYSTEMTIME& before, const SYSTEMTIME& after) {
    const FormattedTime old = Format(before);
    const FormattedTime now = Format(after);
    AppendLog(target, kLogClockChanged, old.date, old.time, before.wMilliseconds, now.date,
              now.time, after.wMilliseconds);
}
