#include "timesync/era.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ResolveSecondsSince1900, ReadsEachCountInTheEraFromTheFixedPivot) {
    const struct {
        std::uint32_t count;
        std::int64_t seconds;
        const char* time;
    } cases[] = {
        {3976214400u, 3976214400, "2026-01-01 00:00:00, the pivot"},
        {4005763200u, 4005763200, "2026-12-09 00:00:00"},
        {4294967295u, 4294967295, "2036-02-07 06:28:15, the last count before the wrap"},
        {0u, 4294967296, "2036-02-07 06:28:16, the wrap"},
        {1u, 4294967297, "2036-02-07 06:28:17"},
        {3660595200u, 7955562496, "2152-02-18 06:28:16, not 2016"},
        {3976214399u, 8271181695, "2162-02-07 06:28:15, the era's last second"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveSecondsSince1900(c.count), c.seconds) << c.time;
}

} // namespace
