#pragma once
// Reading the fields of a text line: the configuration file and the bench
// commands share these; and the bytes of a request as the logs write them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace telvar5::vdrv {

// The fields of a line, separated by blanks, tabs and carriage returns.
std::vector<std::string_view> splitFields(std::string_view line);

// An unsigned number in the base, the whole field, at most max; a 0x prefix is
// allowed in base 16.
std::optional<std::uint64_t> parseUnsigned(std::string_view field, int base = 10, std::uint64_t max = UINT32_MAX);

// A decimal number, the whole field; never NaN.
std::optional<double> parseNumber(std::string_view field);

// n bytes in lower-case hex, separated by blanks: "01 00 ff".
std::string hexBytes(const std::uint8_t* bytes, std::size_t n);

} // namespace telvar5::vdrv
