#pragma once
// scanf-style readings of typed cell text, as the editors have always read it:
// leading blanks skipped, an optional sign, then the longest valid prefix.
// Nothing here depends on the locale.
#include <optional>
#include <string_view>

namespace telvar5 {

// The keys every cell editor lets through besides the characters of its
// column: Ctrl+C (3), Ctrl+V (22), Enter (13) and Backspace (8).
constexpr bool isEditingKey(char key)
{
    const auto k = static_cast<unsigned char>(key);
    return k == 3 || k == 22 || k == 13 || k == 8;
}

// "%d": a decimal integer, wrapped to 32 bits as the C library does.
std::optional<int> readDecimalPrefix(std::string_view text);
// "%o": an octal integer, as unsigned 32 bits (a minus sign wraps it).
std::optional<unsigned> readOctalPrefix(std::string_view text);
// "%x": a hexadecimal integer with an optional 0x prefix, as unsigned 32 bits.
std::optional<unsigned> readHexPrefix(std::string_view text);
// "%f": a floating-point number (digits with a point and an exponent, inf, nan).
std::optional<float> readFloatPrefix(std::string_view text);

} // namespace telvar5
