#include "app/start_up.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

StartCourse CourseOf(std::vector<const wchar_t*> argv) {
    const int argc = static_cast<int>(argv.size());
    return ChooseStartCourse(argc, ParseCommandOptions(argv.data(), argc));
}

TEST(ChooseStartCourse, FollowsTheArgumentCountAndTheIpKey) {
    using enum StartCourse;
    const std::pair<std::vector<const wchar_t*>, StartCourse> cases[] = {
        {{L"prog"}, Interactive},
        {{L"prog", L"/ip", L"132.163.4.101"}, Unattended},
        {{L"prog", L"-ip", L"132.163.4.101"}, Unattended},
        {{L"prog", L"/ip", L"999.1.1.1"}, Unattended},
        {{L"prog", L"/IP", L"132.163.4.101"}, Usage},
        {{L"prog", L"/ip"}, Usage},
        {{L"prog", L"/ip", L"1.2.3.4", L"extra"}, Usage},
        {{L"prog", L"/ip", L"1.2.3"}, Usage},
        {{L"prog", L"/ip", L"1.2.3.4.5"}, Usage},
        {{L"prog", L"/ip", L"1.2.3.a"}, Usage},
        {{L"prog", L"/x", L"1", L"/ip", L"1.2.3.4"}, Usage},
        {{L"prog", L"/x", L"1.2.3.4"}, Usage},
    };
    for (const auto& [argv, course] : cases)
        EXPECT_EQ(CourseOf(argv), course) << "argc " << argv.size();
    EXPECT_EQ(ChooseStartCourse(0, {}), Interactive);
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
