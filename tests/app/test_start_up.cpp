#include "app/start_up.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ChooseStart, FollowsTheArgumentCountTheIpKeyAndThePreciseFlag) {
    using enum StartCourse;
    constexpr SyncRoad quick = SyncRoad::Quick;
    constexpr SyncRoad precise = SyncRoad::Precise;
    const struct {
        std::vector<std::wstring> arguments;
        StartCourse course;
        const wchar_t* address; // and the road, for an unattended run
        SyncRoad road;
    } cases[] = {
        {{}, Interactive, L"", quick},
        {{L"prog"}, Interactive, L"", quick},
        {{L"prog", L"/ip", L"132.163.4.101"}, Unattended, L"132.163.4.101", quick},
        {{L"prog", L"-ip", L"132.163.4.101"}, Unattended, L"132.163.4.101", quick},
        {{L"prog", L"/ip", L"999.1.1.1"}, Unattended, L"999.1.1.1", quick},
        {{L"prog", L"/ip", L"1..2.3.4"}, Unattended, L"1..2.3.4", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"/precise"}, Unattended, L"1.2.3.4", precise},
        {{L"prog", L"-ip", L"1.2.3.4", L"-precise"}, Unattended, L"1.2.3.4", precise},
        {{L"prog", L"/IP", L"132.163.4.101"}, Usage, L"", quick},
        {{L"prog", L"/ip"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"extra"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"/PRECISE"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"precise"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"/precise2"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"/ip"}, Usage, L"", quick},
        {{L"prog", L"/precise", L"/ip", L"1.2.3.4"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"/precise", L"1.2.3.4"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3", L"/precise"}, Usage, L"", quick},
        {{L"prog", L"/IP", L"1.2.3.4", L"/precise"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4", L"/precise", L"/precise"}, Usage, L"", quick},
        {{L"prog", L"/precise"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.4.5"}, Usage, L"", quick},
        {{L"prog", L"/ip", L"1.2.3.a"}, Usage, L"", quick},
        {{L"prog", L"/x", L"1", L"/ip", L"1.2.3.4"}, Usage, L"", quick},
        {{L"prog", L"/x", L"1.2.3.4"}, Usage, L"", quick},
    };
    for (const auto& c : cases) {
        const StartChoice start = ChooseStart(c.arguments);
        const std::string where = testing::PrintToString(c.arguments);
        EXPECT_EQ(start.course, c.course) << where;
        if (c.course == Unattended) {
            EXPECT_EQ(start.address, c.address) << where;
            EXPECT_EQ(start.road, c.road) << where;
        }
    }
}

TEST(UnattendedExitCode, IsZeroOnlyWhenTheClockWasSet) {
    const std::pair<ExchangeOutcome, int> cases[] = {
        {ExchangeOutcome::ClockSet, 0},
        {ExchangeOutcome::NoAnswer, 1},
        {ExchangeOutcome::None, 1},
        {ExchangeOutcome::AnswerRefused, 3},
        {ExchangeOutcome::ClockNotSettable, 4},
    };
    for (const auto& [outcome, code] : cases)
        EXPECT_EQ(UnattendedExitCode(outcome), code) << static_cast<int>(outcome);
}

} // namespace
