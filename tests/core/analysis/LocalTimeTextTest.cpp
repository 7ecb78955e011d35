// Wall-clock moments as ISO 8601 local time: the calendar, the offset's sign
// and minutes, rounding to the millisecond, and the system zone read portably.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

#include "core/analysis/LocalTimeText.h"

namespace telvar5 {
namespace {

UtcOffsetOf fixedOffset(std::int32_t seconds)
{
    return [seconds](std::int64_t) { return seconds; };
}

TEST(LocalTimeTextTest, MomentsBecomeLocalTimeWithTheirOffsetToTheMillisecond)
{
    constexpr std::int64_t kDec8 = 1796727785; // 2026-12-08 11:03:05 UTC
    constexpr std::int64_t kNewYearsEve = 1798761599; // 2026-12-31 23:59:59 UTC
    constexpr std::int64_t kLeapDay = 1709236800; // 2024-02-29 20:00:00 UTC
    const struct {
        std::int64_t unixUs;
        std::int32_t offset;
        const char* expected;
    } cases[] = {
        {0, 0, "1970-01-01T00:00:00.000+00:00"},
        {kDec8 * 1000000 + 123456, 3 * 3600, "2026-12-08T14:03:05.123+03:00"},
        {kDec8 * 1000000 + 123500, 0, "2026-12-08T11:03:05.124+00:00"},     // half a millisecond rounds up
        {kDec8 * 1000000 + 123499, 0, "2026-12-08T11:03:05.123+00:00"},
        {kNewYearsEve * 1000000 + 999500, 0, "2027-01-01T00:00:00.000+00:00"}, // rounding carries into the year
        {kNewYearsEve * 1000000 + 999499, 0, "2026-12-31T23:59:59.999+00:00"},
        {kDec8 * 1000000, -(9 * 3600 + 30 * 60), "2026-12-08T01:33:05.000-09:30"},
        {kDec8 * 1000000, 5 * 3600 + 45 * 60, "2026-12-08T16:48:05.000+05:45"},
        {kDec8 * 1000000, -12 * 3600, "2026-12-07T23:03:05.000-12:00"}, // the day before
        {kLeapDay * 1000000, 14 * 3600, "2024-03-01T10:00:00.000+14:00"},
        {kLeapDay * 1000000, -20 * 3600, "2024-02-29T00:00:00.000-20:00"},
        {-600, 0, "1969-12-31T23:59:59.999+00:00"},  // before the epoch: still the nearest millisecond
        {-400, 0, "1970-01-01T00:00:00.000+00:00"},
        {0, 3 * 3600 + 59, "1970-01-01T03:00:00.000+03:00"}, // seconds of an offset are left out of both
        {0, 40 * 3600, "1970-01-01T00:00:00.000+00:00"},     // no zone is that far: UTC, still true
    };
    for (const auto& c : cases) {
        const LocalTimeText text(fixedOffset(c.offset));
        EXPECT_EQ(text.text(c.unixUs), c.expected) << c.unixUs << " at " << c.offset;
    }
}

TEST(LocalTimeTextTest, AnyMomentADamagedHeaderCanGiveFitsTheRoom)
{
    const LocalTimeText text(fixedOffset(-23 * 3600));
    for (const std::int64_t us : {INT64_MIN, INT64_MAX, wallClockOfEntryUs(INT64_MAX, UINT64_MAX)}) {
        const std::string written = text.text(us);
        EXPECT_LE(written.size(), LocalTimeText::kRoom) << written;
        EXPECT_EQ(written.substr(written.size() - 6), "-23:00") << written;
    }
    EXPECT_EQ(wallClockOfEntryUs(INT64_MAX, 1), INT64_MIN);
}

#ifndef _WIN32
// POSIX zone rules need no zone database, so the offset read from the C
// library is known: winter and summer of a zone with daylight time.
TEST(LocalTimeTextTest, TheSystemZoneIsReadFromTheLocalCalendar)
{
    const char* const saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    const struct {
        const char* zone;
        std::int64_t unixSeconds;
        std::int32_t offset;
    } cases[] = {
        {"UTC0", 1782907200, 0},
        {"<+03>-3", 1782907200, 3 * 3600},
        {"EST5EDT,M3.2.0,M11.1.0", 1768478400, -5 * 3600}, // January
        {"EST5EDT,M3.2.0,M11.1.0", 1782907200, -4 * 3600}, // July
        {"<+0545>-5:45", -86400 * 365, 5 * 3600 + 45 * 60}, // before the epoch
    };
    for (const auto& c : cases) {
        setenv("TZ", c.zone, 1);
        tzset();
        EXPECT_EQ(systemUtcOffset(c.unixSeconds), c.offset) << c.zone;
    }
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
#endif

} // namespace
} // namespace telvar5
