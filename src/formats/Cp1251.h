#pragma once
// The texts of the format tables (tags, units) are Windows-1251 bytes, as the
// module's Windows programs have always written them. The core has no Qt to
// convert them, so it carries its own table.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace telvar5 {

// The character of a byte: ASCII below 0x80; the one unassigned byte, 0x98, is U+FFFD.
char16_t charFromCp1251(std::uint8_t byte);

// The byte of a character, or nothing when the code page has no such
// character. U+FFFD goes back to 0x98, so every byte survives a round trip.
std::optional<std::uint8_t> cp1251FromChar(char32_t c);

// Each byte as its character in UTF-8; the one unassigned byte, 0x98, becomes U+FFFD.
std::string utf8FromCp1251(std::string_view text);
// UTF-8 text as Windows-1251 bytes; nothing when the text is not valid UTF-8
// or holds a character the code page lacks.
std::optional<std::string> cp1251FromUtf8(std::string_view text);

} // namespace telvar5
