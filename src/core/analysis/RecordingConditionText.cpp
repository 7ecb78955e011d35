#include "core/analysis/RecordingConditionText.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace telvar5 {

namespace {

std::vector<std::string_view> fieldsOf(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t colon = text.find(':');
        fields.push_back(text.substr(0, colon));
        if (colon == std::string_view::npos)
            return fields;
        text.remove_prefix(colon + 1);
    }
}

template <typename T>
std::optional<T> wholeNumber(std::string_view text, int base, T min, T max)
{
    T value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<double> decimal(std::string_view text)
{
    std::string copy(text);
    for (char& c : copy)
        if (c == ',')
            c = '.';
    // from_chars takes a minus but no plus.
    const std::size_t skip = !copy.empty() && copy.front() == '+' ? 1 : 0;
    double value = 0;
    const char* const first = copy.data() + skip;
    const char* const last = copy.data() + copy.size();
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (first == last || ec != std::errc{} || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string numberText(double value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

} // namespace

std::optional<RecordingCondition> parseRecordingCondition(std::string_view text)
{
    const std::vector<std::string_view> f = fieldsOf(text);
    if (f.size() < 3)
        return std::nullopt;
    const auto channel = wholeNumber<unsigned>(f[1], 10, 1, 8);
    const auto label = f[2].size() == 3 ? wholeNumber<unsigned>(f[2], 8, 0, 0377) : std::nullopt;
    if (!channel || !label)
        return std::nullopt;
    RecordingCondition c;
    c.channel = static_cast<std::uint8_t>(*channel);
    c.label = static_cast<std::uint8_t>(*label);
    const std::string_view kind = f[0];
    if ((kind == "arrive" || kind == "ssm") && f.size() == 3) {
        c.kind = kind == "arrive" ? ConditionKind::LabelArrives : ConditionKind::SsmChanges;
        return c;
    }
    if (kind == "cross" && f.size() == 4) {
        const auto threshold = decimal(f[3]);
        if (!threshold)
            return std::nullopt;
        c.kind = ConditionKind::ValueCrosses;
        c.threshold = *threshold;
        return c;
    }
    if (kind == "range" && f.size() == 5) {
        const auto low = decimal(f[3]);
        const auto high = decimal(f[4]);
        if (!low || !high || *low > *high)
            return std::nullopt;
        c.kind = ConditionKind::ValueLeavesRange;
        c.low = *low;
        c.high = *high;
        return c;
    }
    if (kind == "absent" && f.size() == 4) {
        // Up to a day: longer waits are typing mistakes.
        const auto ms = wholeNumber<std::int64_t>(f[3], 10, 1, 86'400'000);
        if (!ms)
            return std::nullopt;
        c.kind = ConditionKind::LabelAbsent;
        c.absentUs = *ms * 1000;
        return c;
    }
    return std::nullopt;
}

std::optional<std::int64_t> parsePreTriggerUs(std::string_view text)
{
    const auto seconds = decimal(text);
    if (!seconds || *seconds < 0 || *seconds > 3600)
        return std::nullopt;
    return std::llround(*seconds * 1e6);
}

std::string recordingConditionText(const RecordingCondition& c)
{
    const char octal[] = {static_cast<char>('0' + (c.label >> 6)), static_cast<char>('0' + (c.label >> 3 & 7)),
                          static_cast<char>('0' + (c.label & 7)), '\0'};
    const std::string which = std::string("метка ") + octal + " канала " + std::to_string(c.channel);
    switch (c.kind) {
    case ConditionKind::LabelArrives:
        return "пришла " + which;
    case ConditionKind::ValueCrosses:
        return which + " пересекла " + numberText(c.threshold);
    case ConditionKind::ValueLeavesRange:
        return which + " вышла из " + numberText(c.low) + "…" + numberText(c.high);
    case ConditionKind::SsmChanges:
        return which + ": сменилась SSM";
    case ConditionKind::LabelAbsent:
        return which + " не приходит дольше " + std::to_string(c.absentUs / 1000) + " мс";
    }
    return which;
}

} // namespace telvar5
