#include "timesync/clock_update.h"

#include "timesync/counter.h"
#include "tests/support/exchange_host.h"
#include "tests/support/time_server.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// A server whose clock reads that many seconds since 1900 now, within half a second.
CounterOffset ServerAt(std::int64_t seconds) {
    return {seconds * kTicksPerSecond - CounterNow(), kTicksPerSecond / 2};
}

struct CalendarCase {
    std::int64_t seconds;
    WORD year, month, day, hour, minute, second;
};

TEST(TimeFromSecondsSince1900, CoversTheWholeEra) {
    const CalendarCase cases[] = {
        {0, 1900, 1, 1, 0, 0, 0},
        {3660595200u, 2016, 1, 1, 0, 0, 0}, // DA 30 40 00
        {4294967295u, 2036, 2, 7, 6, 28, 15},
        {2208988800u, 1970, 1, 1, 0, 0, 0},
        {86399, 1900, 1, 1, 23, 59, 59},
        {5097600, 1900, 3, 1, 0, 0, 0}, // 1900 is not a leap year
        {3155673600u, 2000, 1, 1, 0, 0, 0},
        {3160814400u, 2000, 2, 29, 12, 0, 0},
        {4294967296, 2036, 2, 7, 6, 28, 16}, // the count's wrap
        {5368709120, 2070, 2, 15, 20, 5, 20},
    };
    for (const auto& c : cases) {
        const SYSTEMTIME t = TimeFromSecondsSince1900(c.seconds);
        EXPECT_EQ(t.wYear, c.year) << c.seconds;
        EXPECT_EQ(t.wMonth, c.month) << c.seconds;
        EXPECT_EQ(t.wDay, c.day) << c.seconds;
        EXPECT_EQ(t.wHour, c.hour) << c.seconds;
        EXPECT_EQ(t.wMinute, c.minute) << c.seconds;
        EXPECT_EQ(t.wSecond, c.second) << c.seconds;
        EXPECT_EQ(t.wMilliseconds, 0) << c.seconds;
    }
}

TEST(IsWithinTenYears, AcceptsExactlyTenYears) {
    const struct {
        int received, local;
        bool accepted;
    } cases[] = {
        {2026, 2016, true}, {2006, 2016, true},  {2027, 2016, false}, {2005, 2016, false},
        {2016, 2016, true}, {1900, 2026, false}, {2036, 2026, true},  {2025, 2026, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWithinTenYears(c.received, c.local), c.accepted)
            << c.received << " vs " << c.local;
}

TEST(ReportClockChange, WritesTheOldAndTheNewLocalTime) {
    ExchangeHost host;
    SYSTEMTIME before = {2016, 12, 0, 31, 23, 59, 58, 7};
    SYSTEMTIME after = {2027, 1, 0, 1, 0, 0, 1, 250};
    ReportClockChange(host.Log(), before, after);
    // zh_CN formats: short date y/M/d, 24-hour time with seconds.
    EXPECT_EQ(host.LogText(), L"\r\n系统的日期和时间已成功更改：\r\n以前\t2016/12/31, 23:59:58.007 "
                              L"\r\n现在\t2027/1/1, 00:00:01.250.");
}

TEST(UpdateSystemClock, GuardsTenYearsSetsTheClockAndReportsTheOutcome) {
    constexpr SYSTEMTIME kNewYear2016 = {2016, 1, 5, 1, 8, 0, 0, 123};
    constexpr SYSTEMTIME kLastDay2016 = {2016, 12, 6, 31, 23, 0, 0, 0};
    constexpr SYSTEMTIME kAfter = {2026, 12, 4, 31, 23, 59, 59, 5};
    const std::wstring refusedBy = L", 时间超过 10年, 忽略此次设置!\r\n";
    const std::wstring notSet =
        L"不能设置新的日期和时间! #1314.\r\n设置时间需要管理员权限：请右键单击 "
        L"Vexlo，选择“以管理员身份运行”。\r\n";
    const struct {
        SYSTEMTIME local;
        std::int64_t seconds;
        bool accepts;
        ClockOutcome outcome;
        int setDate; // the UTC date handed to the clock (yyyymmdd), 0 when it is not asked
        std::wstring log;
    } cases[] = {
        {kNewYear2016, 4007750399u, true, ClockOutcome::Set, 20261231, // 2026-12-31 23:59:59
         L"\r\n系统的日期和时间已成功更改：\r\n以前\t2016/1/1, 08:00:00.123 \r\n"
         L"现在\t2026/12/31, 23:59:59.005.\r\n本机时钟慢 347126398.877 秒（±0.500 秒）。"},
        {kNewYear2016, 3976214400u, false, ClockOutcome::NotSettable, 20260101,
         notSet + L"本机时钟慢 315590399.877 秒（±0.500 秒）。"},
        {kNewYear2016, 3345062400u, false, ClockOutcome::NotSettable, 20060101,
         notSet + L"本机时钟快 315561600.123 秒（±0.500 秒）。"},
        {kNewYear2016, 3660595200u, false, ClockOutcome::NotSettable, 20160101,
         notSet + L"本机时钟快 28800.123 秒（±0.500 秒）。"},
        {kLastDay2016, 4007750400u, true, ClockOutcome::RefusedByYear, 0,
         L"获得的日期为 2027/1/1" + refusedBy},
        {kNewYear2016, 3345062399u, true, ClockOutcome::RefusedByYear, 0,
         L"获得的日期为 2005/12/31" + refusedBy},
        {kNewYear2016, 0, true, ClockOutcome::RefusedByYear, 0,
         L"获得的日期为 1900/1/1" + refusedBy},
        {kNewYear2016, 4294967296, true, ClockOutcome::RefusedByYear, 0,
         L"获得的日期为 2036/2/7" + refusedBy},
    };
    for (const auto& c : cases) {
        ExchangeHost host;
        const StandInClock clock(c.local, c.accepts, kAfter);
        EXPECT_EQ(UpdateSystemClock(ServerAt(c.seconds)), c.outcome) << c.seconds;
        EXPECT_EQ(host.LogText(), c.log) << c.seconds;
        const SYSTEMTIME set = StandInClock::s_set.value_or(SYSTEMTIME{});
        EXPECT_EQ(set.wYear * 10000 + set.wMonth * 100 + set.wDay, c.setDate) << c.seconds;
    }
}

TEST(UpdateSystemClock, TheRealClockRefusesAProcessWithoutTheTimePrivilege) {
    ExchangeHost host;
    // An hour away: within the guard; the offset line compares with the real clock.
    EXPECT_EQ(UpdateSystemClock(ServerAt(SecondsSince1900Now() - 3600)), ClockOutcome::NotSettable);
    const std::wstring log = host.LogText();
    EXPECT_TRUE(
        log.starts_with(L"不能设置新的日期和时间! #1314.\r\n设置时间需要管理员权限：请右键单击 "
                        L"Vexlo，选择“以管理员身份运行”。\r\n本机时钟快 3600."))
        << testing::PrintToString(log);
}

} // namespace
