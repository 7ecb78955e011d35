#include "vdrv/TextFields.h"

#include <charconv>

namespace telvar5::vdrv {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
} // namespace

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i]))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

std::optional<std::uint64_t> parseUnsigned(std::string_view field, int base, std::uint64_t max)
{
    if (base == 16 && field.size() > 2 && field[0] == '0' && (field[1] == 'x' || field[1] == 'X'))
        field.remove_prefix(2);
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v, base);
    if (field.empty() || ec != std::errc{} || end != field.data() + field.size() || v > max)
        return std::nullopt;
    return v;
}

std::optional<double> parseNumber(std::string_view field)
{
    double v = 0.0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || ec != std::errc{} || end != field.data() + field.size() || v != v)
        return std::nullopt;
    return v;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t n)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(n * 3);
    for (std::size_t i = 0; i < n; ++i) {
        if (i)
            text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0xF];
    }
    return text;
}

} // namespace telvar5::vdrv
