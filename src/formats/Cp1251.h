#pragma once
// The texts of the format tables (tags, units) are Windows-1251 bytes, as the
// module's Windows programs have always written them. The core has no Qt to
// convert them, so it carries its own table.
#include <string>
#include <string_view>

namespace telvar5 {

// Each byte as its character in UTF-8; the one unassigned byte, 0x98, becomes U+FFFD.
std::string utf8FromCp1251(std::string_view text);

} // namespace telvar5
