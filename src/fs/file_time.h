// Conversions between POSIX seconds and 64-bit file times (100-nanosecond
// intervals since 1601-01-01 00:00 UTC). Sub-second parts are dropped both
// ways; seconds are 64-bit so times after 2038 survive the round trip.
#pragma once
#include <cstdint>

using FileTime = std::uint64_t;

namespace filetime {

constexpr std::uint64_t kTicksPerSecond = 10000000ull;
// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochDifferenceSeconds = 11644473600ll;

// Times before 1601 clamp to 0.
constexpr FileTime FromPosixSeconds(std::int64_t seconds) {
    return seconds < -kEpochDifferenceSeconds
               ? 0
               : std::uint64_t(seconds + kEpochDifferenceSeconds) * kTicksPerSecond;
}

constexpr std::int64_t ToPosixSeconds(FileTime time) {
    return std::int64_t(time / kTicksPerSecond) - kEpochDifferenceSeconds;
}

}  // namespace filetime
