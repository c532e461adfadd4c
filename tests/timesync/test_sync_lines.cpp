#include "timesync/sync_lines.h"
#include "timesync/timesync_texts.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockCorrectionLine, SaysHowFarAndWhichWayToTheMillisecond) {
    const struct {
        ClockCorrection correction;
        const wchar_t* line = nullptr;
    } cases[] = {
        {{5'160'000, 5'000'000}, L"本机时钟慢 0.516 秒（±0.500 秒）。"},
        {{-12'345'678, 80'000}, L"本机时钟快 1.235 秒（±0.008 秒）。"},
        {{-4'999, 100'000}, L"本机时钟与服务器一致（±0.010 秒）。"},
        {{5'000, 4'999}, L"本机时钟慢 0.001 秒（±0.000 秒）。"},
        {{-36'000'000'000, 5'000'000}, L"本机时钟快 3600.000 秒（±0.500 秒）。"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockCorrectionLine(c.correction), c.line) << c.correction.amount;
}

TEST(SearchProgressLine, GivesAnswersUncertaintyAndSecondsLeft) {
    EXPECT_EQ(SearchProgressLine({3, 1'260'000, 203'000'000}),
              L"精确校时：已收到 3 个应答，误差还有 ±0.126 秒，约需 21 秒。");
    EXPECT_EQ(SearchProgressLine({9, 78'000, 0}),
              L"精确校时：已收到 9 个应答，误差还有 ±0.008 秒，约需 0 秒。");
    EXPECT_STREQ(kSearchFallbackText, L"服务器的应答前后矛盾，精确校时改用最后一个应答。");
}

} // namespace
