#include "formats/WordText.h"

#include <charconv>

#include "formats/ArincWord.h"

namespace telvar5 {

namespace {

// printf-style integer: right-aligned in `width`, padded with `pad` (blank or '0').
template <typename Int>
void appendNumber(CellText& out, Int value, int base, std::size_t width, char pad)
{
    char digits[72];
    const auto result = std::to_chars(digits, digits + sizeof digits, value, base);
    const std::size_t len = static_cast<std::size_t>(result.ptr - digits);
    if (len < width)
        out.appendRepeated(pad, width - len);
    out.append(std::string_view(digits, len));
}

std::string_view startWith(CellText& out, std::string_view prefix)
{
    out.clear();
    out.append(prefix);
    return out.view();
}

} // namespace

std::string_view addressText(std::uint32_t word, CellText& out)
{
    startWith(out, "");
    appendNumber(out, wordLabel(word), 8, 3, '0');
    return out.view();
}

std::string_view inputAddressText(std::uint32_t word, CellText& out)
{
    startWith(out, " ");
    appendNumber(out, wordLabel(word), 8, 3, '0');
    return out.view();
}

std::string_view codeHexText(std::uint32_t word, CellText& out)
{
    startWith(out, "");
    appendNumber(out, wordCode(word), 16, 6, '0');
    return out.view();
}

std::string_view inputCodeHexText(std::uint32_t word, CellText& out)
{
    startWith(out, " ");
    appendNumber(out, wordCode(word), 16, 6, '0');
    return out.view();
}

std::string_view codeOctalText(std::uint32_t word, CellText& out)
{
    startWith(out, "");
    appendNumber(out, wordCode(word), 8, 8, '0');
    return out.view();
}

std::string_view codeBinaryText(std::uint32_t word, CellText& out)
{
    startWith(out, "");
    appendNumber(out, wordCode(word), 2, 0, '0');
    return out.view();
}

std::string_view ssmText(std::uint32_t word, CellText& out)
{
    // Base 2 without leading zeros, " %2s " around it, then a blank in the
    // second place becomes 0: " 00 ", " 01 ", " 10 ", " 11 ".
    startWith(out, " ");
    appendNumber(out, wordSsm(word), 2, 2, ' ');
    out.append(' ');
    if (out.view()[1] != '1')
        out.set(1, '0');
    return out.view();
}

std::string_view cellNumberText(int cellNo, CellText& out)
{
    startWith(out, "");
    appendNumber(out, cellNo, 10, 5, ' ');
    return out.view();
}

std::string_view cycleNumberText(std::uint32_t cycleNo, CellText& out)
{
    startWith(out, "");
    appendNumber(out, cycleNo, 10, 10, ' ');
    return out.view();
}

} // namespace telvar5
