#pragma once
// The texts of a word's address, code and SSM as the grids show them. Each
// writes into the caller's buffer and returns a view of it; hex digits are lower case.
#include <cstdint>
#include <string_view>

#include "formats/CellText.h"

namespace telvar5 {

std::string_view addressText(std::uint32_t word, CellText& out);      // "%03o" of word & 0xFF (output grid)
std::string_view inputAddressText(std::uint32_t word, CellText& out); // " %03o" (input grid)
std::string_view codeHexText(std::uint32_t word, CellText& out);      // "%06x" of word >> 8 (output grid)
std::string_view inputCodeHexText(std::uint32_t word, CellText& out); // " %06x" (input grid)
std::string_view codeOctalText(std::uint32_t word, CellText& out);    // "%08o" of word >> 8
std::string_view codeBinaryText(std::uint32_t word, CellText& out);   // base 2, no leading zeros, "0" for 0
std::string_view ssmText(std::uint32_t word, CellText& out);          // " 00 ", " 01 ", " 10 " or " 11 "
std::string_view cellNumberText(int cellNo, CellText& out);           // "%5d"
std::string_view cycleNumberText(std::uint32_t cycleNo, CellText& out); // "%10lu"

} // namespace telvar5
