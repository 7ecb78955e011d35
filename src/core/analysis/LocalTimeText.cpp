#include "core/analysis/LocalTimeText.h"

#include <charconv>
#include <ctime>

namespace telvar5 {

namespace {

constexpr std::int64_t kDaySeconds = 86400;
constexpr std::int32_t kLongestOffset = 26 * 3600; // beyond any zone: a C library's odd answer is not believed

std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

CivilDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

char* putDigits(char* p, std::int64_t value, int width)
{
    if (value < 0) {
        *p++ = '-';
        value = -value;
    }
    char digits[24];
    char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (auto n = static_cast<int>(end - digits); n < width; ++n)
        *p++ = '0';
    for (const char* d = digits; d != end; ++d)
        *p++ = *d;
    return p;
}

} // namespace

std::int32_t systemUtcOffset(std::int64_t unixSeconds)
{
    const auto t = static_cast<std::time_t>(unixSeconds);
    if (static_cast<std::int64_t>(t) != unixSeconds)
        return 0; // a narrower time_t cannot hold the moment
    std::tm local{};
#ifdef _WIN32
    // msvcrt has no localtime_r; its localtime keeps the result per thread. It
    // answers null for moments before 1970.
    const std::tm* result = std::localtime(&t);
    if (result == nullptr)
        return 0;
    local = *result;
#else
    if (localtime_r(&t, &local) == nullptr)
        return 0;
#endif
    // The local calendar read as if it were UTC, less the moment itself: the offset.
    const std::int64_t asUtc =
        daysFromCivil(std::int64_t{local.tm_year} + 1900, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday)) *
            kDaySeconds +
        local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
    const std::int64_t offset = asUtc - unixSeconds;
    return offset > kLongestOffset || offset < -kLongestOffset ? 0 : static_cast<std::int32_t>(offset);
}

LocalTimeText::LocalTimeText(UtcOffsetOf offsetOf) : offsetOf_(std::move(offsetOf)) {}

std::int32_t LocalTimeText::offsetAt(std::int64_t unixSeconds) const
{
    const std::int64_t minute = floorDiv(unixSeconds, 60);
    if (!cached_ || minute != cachedMinute_) {
        std::int32_t offset = offsetOf_ ? offsetOf_(unixSeconds) : 0;
        if (offset > kLongestOffset || offset < -kLongestOffset)
            offset = 0;
        cachedOffset_ = offset / 60 * 60; // the text names whole minutes, so the time follows them
        cachedMinute_ = minute;
        cached_ = true;
    }
    return cachedOffset_;
}

char* LocalTimeText::put(char* p, std::int64_t unixUs) const
{
    // Rounded to the nearest millisecond without adding to unixUs, which may be at its limit.
    // (The remainder from %, not unixUs - ms * 1000: that product overflows near the lower limit.)
    std::int64_t ms = unixUs / 1000;
    std::int64_t remainder = unixUs % 1000;
    if (remainder < 0) {
        --ms;
        remainder += 1000;
    }
    if (remainder >= 500)
        ++ms;
    const std::int64_t utcSeconds = floorDiv(ms, 1000);
    const std::int32_t offset = offsetAt(utcSeconds);
    const std::int64_t localSeconds = utcSeconds + offset;
    const std::int64_t days = floorDiv(localSeconds, kDaySeconds);
    const std::int64_t secondOfDay = localSeconds - days * kDaySeconds;
    const CivilDate date = civilFromDays(days);

    p = putDigits(p, date.year, 4);
    *p++ = '-';
    p = putDigits(p, date.month, 2);
    *p++ = '-';
    p = putDigits(p, date.day, 2);
    *p++ = 'T';
    p = putDigits(p, secondOfDay / 3600, 2);
    *p++ = ':';
    p = putDigits(p, secondOfDay / 60 % 60, 2);
    *p++ = ':';
    p = putDigits(p, secondOfDay % 60, 2);
    *p++ = '.';
    p = putDigits(p, ms - utcSeconds * 1000, 3);
    *p++ = offset < 0 ? '-' : '+';
    const std::int32_t magnitude = offset < 0 ? -offset : offset;
    p = putDigits(p, magnitude / 3600, 2);
    *p++ = ':';
    return putDigits(p, magnitude / 60 % 60, 2);
}

std::string LocalTimeText::text(std::int64_t unixUs) const
{
    char buffer[kRoom];
    return std::string(buffer, put(buffer, unixUs));
}

} // namespace telvar5
