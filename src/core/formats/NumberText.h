#pragma once
// scanf-style readings of typed cell text, as the editors have always read it:
// leading blanks skipped, an optional sign, then the longest valid prefix.
// Nothing here depends on the locale.
#include <optional>
#include <string_view>

namespace telvar5 {

// "%d": a decimal integer, wrapped to 32 bits as the C library does.
std::optional<int> readDecimalPrefix(std::string_view text);
// "%o": an octal integer, as unsigned 32 bits (a minus sign wraps it).
std::optional<unsigned> readOctalPrefix(std::string_view text);
// "%x": a hexadecimal integer with an optional 0x prefix, as unsigned 32 bits.
std::optional<unsigned> readHexPrefix(std::string_view text);
// "%f": a floating-point number (digits with a point and an exponent, inf, nan).
std::optional<float> readFloatPrefix(std::string_view text);

} // namespace telvar5
