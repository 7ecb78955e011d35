#include "formats/DecimalText.h"

#include <charconv>

#include "formats/ArincWord.h"
#include "formats/Cp1251.h"

namespace telvar5 {

DecimalValue decimalValue(std::uint32_t word, const DecimalFormat& format)
{
    const std::uint32_t signMask = format.bit29IsData() == 1 ? 0x20000000u : 0x10000000u;
    const int msb = format.msbBit();
    const int lsb = format.lsbBit();

    DecimalValue value;
    std::uint32_t v = word;
    if (word & signMask) {
        value.sign = '-';
        v = ~word + bitValue(lsb); // unsigned: wraps modulo 2^32
    }

    // Single precision throughout, as the values have always been computed.
    float sum = 0.0f;
    float w = format.msbWeight();
    for (int n = msb; n >= lsb; --n) {
        if (wordBit(v, n))
            sum = sum + w;
        w = w * 0.5f;
    }
    value.magnitude = sum;
    return value;
}

char* putSignedValue(char* p, const DecimalValue& value)
{
    *p++ = value.sign;
    return std::to_chars(p, p + kSignedValueRoom - 1, static_cast<double>(value.magnitude), std::chars_format::fixed, 6)
        .ptr;
}

std::string unitsUtf8(const DecimalFormat& format)
{
    std::string_view units = format.units();
    while (!units.empty() && units.back() == ' ')
        units.remove_suffix(1);
    return utf8FromCp1251(units);
}

std::string_view decimalText(std::uint32_t word, const DecimalFormat& format, CellText& out)
{
    const DecimalValue value = decimalValue(word, format);
    out.clear();
    out.append(' ');
    char digits[kSignedValueRoom];
    out.append(std::string_view(digits, static_cast<std::size_t>(putSignedValue(digits, value) - digits)));

    out.append(' ');
    const std::string_view units = format.units();
    if (units.size() < 4)
        out.appendRepeated(' ', 4 - units.size());
    out.append(units);
    out.append("    ");
    return out.view();
}

std::string_view decimalText(std::uint32_t word, const LabelFormatTable& labelFormats, CellText& out)
{
    const DecimalFormat& format = labelFormats[wordLabel(word)];
    if (format.tagEmpty()) {
        out.clear();
        out.append(' ');
        return out.view();
    }
    return decimalText(word, format, out);
}

} // namespace telvar5
