#include "OptionValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "CliError.h"
#include "core/RefreshPeriod.h"
#include "core/RunState.h"
#include "core/analysis/RecordingConditionText.h"

namespace telvar5::cli {

namespace {
// Longer than any bench run; keeps the microseconds far from overflow.
constexpr double kMaxSeconds = 1'000'000.0;
constexpr std::int64_t kMaxTicks = 1'000'000'000;

// 0.01, 100: as a user types a limit.
std::string shortNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}
} // namespace

std::optional<std::int64_t> parseWhole(std::string_view text)
{
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void OptionValues::fail(const std::string& text) const { throw CliError(ExitCode::BadArgument, call_.name + ": " + text); }

const std::string* OptionValues::last(std::string_view name) const
{
    const std::string* found = nullptr;
    for (const auto& [key, value] : call_.options)
        if (key == name)
            found = &value;
    return found;
}

bool OptionValues::has(std::string_view name) const { return last(name) != nullptr; }

std::optional<RecordingCondition> OptionValues::condition(std::string_view name) const
{
    const std::string* text = last(name);
    if (!text)
        return std::nullopt;
    const auto condition = parseRecordingCondition(*text);
    if (!condition)
        fail("--" + std::string(name) + " " + *text +
             ": условие - arrive:C:LLL, cross:C:LLL:V, range:C:LLL:MIN:MAX, ssm:C:LLL или absent:C:LLL:MS "
             "(C 1..8, LLL восьмеричная)");
    return condition;
}

std::vector<std::string> OptionValues::all(std::string_view name) const
{
    std::vector<std::string> values;
    for (const auto& [key, value] : call_.options)
        if (key == name)
            values.push_back(value);
    return values;
}

std::optional<std::string> OptionValues::optionalPath(std::string_view name) const
{
    const std::string* value = last(name);
    if (!value)
        return std::nullopt;
    if (value->empty())
        fail("пустое имя файла в --" + std::string(name));
    return *value;
}

std::string OptionValues::requiredPath(std::string_view name) const
{
    const auto value = optionalPath(name);
    if (!value)
        fail("не указан параметр --" + std::string(name));
    return *value;
}

std::optional<std::int64_t> OptionValues::integer(std::string_view name, std::int64_t min, std::int64_t max) const
{
    const std::string* text = last(name);
    if (!text)
        return std::nullopt;
    const auto value = parseWhole(*text);
    if (!value || *value < min || *value > max)
        fail("--" + std::string(name) + " ждет целое число от " + std::to_string(min) + " до " +
             std::to_string(max) + ", а не '" + *text + "'");
    return value;
}

std::optional<double> OptionValues::decimal(std::string_view name, double min, double max) const
{
    const std::string* text = last(name);
    if (!text)
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (text->empty() || ec != std::errc{} || end != text->data() + text->size() || !(value >= min && value <= max))
        fail("--" + std::string(name) + " ждет число от " + shortNumber(min) + " до " + shortNumber(max) + ", а не '" +
             *text + "'");
    return value;
}

std::optional<std::int64_t> OptionValues::secondsUs(std::string_view name) const
{
    const std::string* text = last(name);
    if (!text)
        return std::nullopt;
    double seconds = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
    if (text->empty() || ec != std::errc{} || end != text->data() + text->size() || !std::isfinite(seconds) ||
        seconds <= 0 || seconds > kMaxSeconds)
        fail("--" + std::string(name) + " ждет число секунд больше 0 (не более 1000000), а не '" + *text + "'");
    return std::max<std::int64_t>(1, std::llround(seconds * 1e6));
}

int OptionValues::channel() const
{
    const auto value = integer("channel", 1, kChannels);
    if (!value)
        fail("не указан параметр --channel");
    return static_cast<int>(*value);
}

std::uint16_t OptionValues::receptionMode() const
{
    const std::string* text = last("mode");
    if (!text || *text == "address")
        return kReceptionAddress;
    if (*text == "file")
        return kReceptionFile;
    fail("--mode ждет address или file, а не '" + *text + "'");
}

std::int32_t OptionValues::periodMs() const
{
    const auto value = integer("period", kMinRefreshPeriodMs, kMaxRefreshPeriodMs);
    return value ? static_cast<std::int32_t>(*value) : kDefaultRefreshPeriodMs;
}

TickBudget OptionValues::budget() const
{
    if (has("seconds") && has("ticks"))
        fail("--seconds и --ticks вместе не указываются");
    TickBudget budget;
    if (const auto ticks = integer("ticks", 1, kMaxTicks))
        budget.ticks = static_cast<std::uint64_t>(*ticks);
    if (const auto us = secondsUs("seconds"))
        budget.durationUs = *us;
    return budget;
}

} // namespace telvar5::cli
