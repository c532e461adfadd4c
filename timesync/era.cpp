#include "timesync/era.h"

namespace {

constexpr std::int64_t kCountsPerEra = std::int64_t{1} << 32;

} // namespace

std::int64_t ResolveSecondsSince1900(std::uint32_t count) {
    const std::int64_t seconds = count;
    return seconds >= kEraPivotSecondsSince1900 ? seconds : seconds + kCountsPerEra;
}
