#include "timesync/offset_estimate.h"

#include <gtest/gtest.h>

namespace {

// One answer alone: the middle of its second at the arrival less half the connect, and what the
// local clock lacks against it.
TEST(OffsetFromAnswer, TakesTheMiddleOfTheSecondAtTheStamp) {
    const struct {
        const char* name = nullptr;
        TimeAnswer answer;
        ClockReading local;
        CounterOffset offset;
        ClockCorrection correction;
    } cases[] = {
        {"2026-01-01 00:00:00, a slow clock",
         {3976214400u, 0, 200'000, 300'000},
         {10'000'000, 39'762'144'005'000'000},
         {39'762'144'004'800'000, 5'100'000},
         {9'800'000, 5'100'000}},
        {"2036-02-07 06:28:21, after the wrap, a fast clock",
         {5u, 70'000'000, 70'020'000, 70'030'000},
         {80'000'000, 42'949'673'030'000'000},
         {42'949'672'944'980'000, 5'010'000},
         {-5'020'000, 5'010'000}},
    };
    for (const auto& c : cases) {
        const CounterOffset offset = OffsetFromAnswer(c.answer);
        EXPECT_EQ(offset.offset, c.offset.offset) << c.name;
        EXPECT_EQ(offset.halfWidth, c.offset.halfWidth) << c.name;
        const ClockCorrection correction = CorrectionOf(offset, c.local);
        EXPECT_EQ(correction.amount, c.correction.amount) << c.name;
        EXPECT_EQ(correction.halfWidth, c.correction.halfWidth) << c.name;
    }
}

} // namespace
