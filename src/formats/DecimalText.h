#pragma once
// The physical value of a word through its label's decimal format.
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/CellText.h"
#include "formats/DecimalFormat.h"
#include "formats/FormatTables.h"

namespace telvar5 {

struct DecimalValue {
    char sign = '+'; // '+' or '-', from the format's sign bit
    float magnitude = 0.0f;
};

// Sign from bit 30 when bit29IsData is 1, else from bit 29; a negative field is
// taken as the two's complement at the least significant data bit; the field
// msbBit..lsbBit is summed in single precision from msbWeight, halving per bit.
// Bit numbers outside 1..32 (damaged files) read as 0 and never shift out of range.
DecimalValue decimalValue(std::uint32_t word, const DecimalFormat& format);

// Room putSignedValue needs: a sign and "%f" of -FLT_MAX.
inline constexpr std::size_t kSignedValueRoom = 64;

// The value as "+12.500000": its sign, then "%f" of the magnitude in any
// locale (a Russian one must not turn the point into a comma). Writes at most
// kSignedValueRoom characters at p and returns their end.
char* putSignedValue(char* p, const DecimalValue& value);

// The format's units in UTF-8 without their trailing blanks: for text that
// leaves the program (CSV, the command line).
std::string unitsUtf8(const DecimalFormat& format);

// " %c%f %4s    " of the value with the format's units.
std::string_view decimalText(std::uint32_t word, const DecimalFormat& format, CellText& out);

// The DECIMAL column: the word's label picks the format; an empty entry gives " ".
std::string_view decimalText(std::uint32_t word, const LabelFormatTable& labelFormats, CellText& out);

} // namespace telvar5
