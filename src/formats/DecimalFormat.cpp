#include "formats/DecimalFormat.h"

#include <bit>
#include <cmath>

#include "protocol/ByteLayout.h"
#include "formats/FieldText.h"

namespace telvar5 {

std::string_view DecimalFormat::tag() const
{
    return fieldText(bytes.data() + kTagOffset, kTagSize);
}

std::string_view DecimalFormat::units() const
{
    return fieldText(bytes.data() + kUnitsOffset, kUnitsSize);
}

float DecimalFormat::msbWeight() const
{
    return std::bit_cast<float>(getU32(bytes.data() + kMsbWeightOffset));
}

void DecimalFormat::setTag(std::string_view text)
{
    setFieldText(bytes.data() + kTagOffset, kTagSize - 1, text);
}

void DecimalFormat::setUnits(std::string_view text)
{
    // Six characters and the zero byte: the field's eighth byte is never written.
    setFieldText(bytes.data() + kUnitsOffset, kUnitsSize - 2, text);
}

void DecimalFormat::setMsbWeight(float v)
{
    putU32(bytes.data() + kMsbWeightOffset, std::bit_cast<std::uint32_t>(v));
}

bool DecimalFormat::complete() const
{
    const float w = msbWeight();
    return !tagEmpty() && bytes[kUnitsOffset] != 0 && msbBit() != 0 && lsbBit() != 0 && w != 0.0f
        && !std::isnan(w);
}

} // namespace telvar5
