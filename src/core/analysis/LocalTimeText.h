#pragma once
// Wall-clock moments as the exports write them: ISO 8601, local time to the
// millisecond with its offset from UTC, e.g. "2026-12-08T14:03:05.123+03:00".
// The zone is passed in, so a test can fix the offset; the system's local zone
// is read portably (no tm_gmtoff, which msvcrt lacks).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace telvar5 {

// A zone's offset from UTC in seconds at a moment given in Unix seconds.
using UtcOffsetOf = std::function<std::int32_t(std::int64_t unixSeconds)>;

// The system's local zone; 0 (the text then says "+00:00", still true) where
// the C library cannot place the moment.
std::int32_t systemUtcOffset(std::int64_t unixSeconds);

class LocalTimeText {
public:
    // The longest text put() writes, with room to spare: a six-digit year of a damaged header included.
    static constexpr std::size_t kRoom = 48;

    explicit LocalTimeText(UtcOffsetOf offsetOf = systemUtcOffset);

    // The moment unixUs (Unix epoch, microseconds), rounded to the nearest
    // millisecond, written at p; returns the end of the text.
    char* put(char* p, std::int64_t unixUs) const;
    std::string text(std::int64_t unixUs) const;

private:
    std::int32_t offsetAt(std::int64_t unixSeconds) const;

    UtcOffsetOf offsetOf_;
    // Zones change their offset on whole minutes: one question per minute, not per word.
    mutable std::int64_t cachedMinute_ = 0;
    mutable std::int32_t cachedOffset_ = 0;
    mutable bool cached_ = false;
};

// The wall clock of a capture entry: the start's wall clock plus the time since
// the start, wrapping rather than overflowing on a damaged header.
inline std::int64_t wallClockOfEntryUs(std::int64_t startUnixUs, std::uint64_t sinceStartUs)
{
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(startUnixUs) + sinceStartUs);
}

} // namespace telvar5
