#include "core/formats/NumberText.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace telvar5 {

namespace {

// What scanf skips before a conversion.
std::string_view skipBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || (text.front() >= '\t' && text.front() <= '\r')))
        text.remove_prefix(1);
    return text;
}

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// An optional sign, then the longest run of digits of the base; the number
// wraps modulo 2^32 and a minus sign negates it there, as strtoul does.
std::optional<std::uint32_t> readInteger(std::string_view text, int base)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // A 0x prefix counts only when a hex digit follows; "0x" alone reads as 0.
    if (base == 16 && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
        && digitValue(text[2]) < 16)
        text.remove_prefix(2);
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && digitValue(text[digits]) < base; ++digits)
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digitValue(text[digits]));
    if (digits == 0)
        return std::nullopt;
    return negative ? 0u - value : value;
}

} // namespace

std::optional<int> readDecimalPrefix(std::string_view text)
{
    const auto value = readInteger(text, 10);
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<unsigned> readOctalPrefix(std::string_view text) { return readInteger(text, 8); }

std::optional<unsigned> readHexPrefix(std::string_view text) { return readInteger(text, 16); }

std::optional<float> readFloatPrefix(std::string_view text)
{
    text = skipBlanks(text);
    bool negative = false;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    else if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    // from_chars takes no sign of its own here, so "+-1" and "--1" read nothing, as with scanf.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (end == text.data())
        return std::nullopt;
    if (ec == std::errc::result_out_of_range) {
        // Too large reads as infinity, too small as zero, as the C library gives them.
        const std::string_view number(text.data(), static_cast<std::size_t>(end - text.data()));
        const std::size_t e = number.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0f : std::numeric_limits<float>::infinity();
    }
    return negative ? -value : value;
}

} // namespace telvar5
