#include "formats/DecimalEncoder.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"

namespace telvar5 {

namespace {
constexpr int kFirstDataBit = 9; // bits 1..8 are the label

// Significant bits of a positive float's mantissa: 90 = 1011010b has 6, 65536 has 1.
int significantBits(float v)
{
    int exponent = 0;
    const auto mantissa = static_cast<std::uint32_t>(std::ldexp(std::frexp(v, &exponent), 24));
    return 24 - std::countr_zero(mantissa);
}
} // namespace

DecimalEncoder::DecimalEncoder(const DecimalFormat& format)
{
    const int signBit = format.bit29IsData() == 1 ? 30 : 29;
    const int msb = format.msbBit();
    const int lsb = format.lsbBit();
    const float msbWeight = format.msbWeight();
    if (lsb < kFirstDataBit || msb < lsb || msb >= signBit || !std::isfinite(msbWeight) || !(msbWeight > 0.0f))
        return;

    width_ = msb - lsb + 1;
    lsbBit_ = lsb;
    fieldMask_ = ((std::uint32_t{1} << width_) - 1u) << (lsb - 1);
    signMask_ = bitValue(signBit);
    // The weights exactly as the rendering halves them, in single precision.
    float w = msbWeight;
    for (int k = 0; k < width_; ++k) {
        weights_[k] = w;
        w = w * 0.5f;
    }
    if (!(weights_[width_ - 1] > 0.0f)) // halved below the smallest float: the low bits would count for nothing
        return;
    maxMagnitude_ = decimalValue(fieldMask_, format).magnitude; // every field bit set, sign clear
    // A sum of the top k weights is a whole number of the k-th weight that needs
    // at most k + significantBits bits: within single precision's 24 the
    // rendering adds them without rounding.
    // (Weights halved into the subnormal range have fewer bits: those go bit by bit.)
    exactBits_ = std::isnormal(weights_[width_ - 1]) ? std::clamp(24 - significantBits(msbWeight), 0, width_) : 0;
    usable_ = true;
}

std::uint32_t DecimalEncoder::largestFieldNotAbove(double target) const
{
    // A float sum is within the target exactly when it is within the largest float not above it.
    float limit = static_cast<float>(target);
    if (static_cast<double>(limit) > target)
        limit = std::nextafter(limit, 0.0f);

    // The top bits' sums never round: their field is the limit over their lowest weight, in one division.
    std::uint32_t field = 0;
    float sum = 0.0f;
    if (exactBits_ > 0) {
        const double w = weights_[exactBits_ - 1];
        const double most = static_cast<double>((std::uint32_t{1} << exactBits_) - 1u);
        double top = std::min(std::floor(static_cast<double>(limit) / w), most);
        // The division rounds: step back or on where it crossed a whole number.
        if (top > 0.0 && top * w > limit)
            top -= 1.0;
        else if (top < most && (top + 1.0) * w <= limit)
            top += 1.0;
        field = static_cast<std::uint32_t>(top);
        sum = static_cast<float>(top * w);
    }
    // Below them, greedy bit by bit, adding as the rendering adds: the partial
    // sums only grow, so the first bits that keep the sum within the limit give
    // the largest field whose rendering does.
    for (int k = exactBits_; k < width_; ++k) {
        // Without branches: whether a bit is taken is as good as random.
        const float next = sum + weights_[k];
        const bool take = next <= limit;
        sum = take ? next : sum;
        field = field << 1 | static_cast<std::uint32_t>(take);
    }
    return field;
}

EncodedWord DecimalEncoder::encode(double value, std::uint32_t base) const
{
    if (!usable_)
        return {base, ValueFit::UnusableFormat};
    const std::uint32_t kept = base & ~(fieldMask_ | signMask_);
    if (std::isnan(value))
        return {kept, ValueFit::NotANumber};

    const bool negative = value < 0.0;
    const double magnitude = std::fabs(value);
    const double halfStep = static_cast<double>(weights_[width_ - 1]) * 0.5;
    ValueFit fit = ValueFit::InRange;
    std::uint32_t steps = 0;
    if (magnitude > static_cast<double>(maxMagnitude_) + halfStep) {
        fit = negative ? ValueFit::ClampedLow : ValueFit::ClampedHigh;
        steps = (std::uint32_t{1} << width_) - 1u;
    } else {
        // The largest rendering not above value + half a step is the nearest one.
        steps = largestFieldNotAbove(magnitude + halfStep);
    }
    if (steps == 0) // zero is written with its sign bit clear: "-0.000000" is no value of its own
        return {kept, fit};
    if (!negative)
        return {kept | (steps << (lsbBit_ - 1)), fit};
    // The rendering takes a set sign bit as the two's complement of the field.
    const std::uint32_t field = ((std::uint32_t{1} << width_) - steps) & ((std::uint32_t{1} << width_) - 1u);
    return {kept | (field << (lsbBit_ - 1)) | signMask_, fit};
}

} // namespace telvar5
