#include "core/RefreshPeriod.h"

#include <algorithm>
#include <cstdio>

namespace telvar5 {

namespace {
// Characters, not bytes: the text is UTF-8 and the rule counts what the user typed.
std::size_t characterCount(const std::string& utf8)
{
    std::size_t count = 0;
    for (unsigned char c : utf8)
        count += (c & 0xC0u) != 0x80u;
    return count;
}
} // namespace

std::int32_t periodFromText(const std::string& text, std::int32_t currentPeriodMs)
{
    if (characterCount(text) >= 5)
        return kMaxRefreshPeriodMs;
    int value = 0;
    // At most four characters: the number fits an int, so sscanf cannot overflow;
    // a non-ASCII character is not a digit and ends the number.
    if (std::sscanf(text.c_str(), "%d", &value) != 1)
        return std::clamp(currentPeriodMs, kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
    return std::clamp<std::int32_t>(value, kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
}

std::string periodText(std::int32_t periodMs) { return std::to_string(periodMs); }

std::string refreshLineAtStart(std::int32_t periodMs)
{
    char line[96];
    std::snprintf(line, sizeof line, "Обновление экрана:-период %4d мс;   -счетчик 0", static_cast<int>(periodMs));
    return line;
}

std::string refreshLine(std::int32_t periodMs, std::uint32_t counter)
{
    char line[96];
    std::snprintf(line, sizeof line, "Обновление экрана:-период %4d мс;  -счетчик %10lu", static_cast<int>(periodMs),
                  static_cast<unsigned long>(counter));
    return line;
}

} // namespace telvar5
