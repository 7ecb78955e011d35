#include "formats/DecimalEncoder.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

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
    if (lsb < kFirstDataBit || msb < lsb || msb >= signBit)
        return;
    refusal_ = EncoderRefusal::WeightNotPositive;
    if (!std::isfinite(msbWeight) || !(msbWeight > 0.0f))
        return;

    width_ = msb - lsb + 1;
    lsbBit_ = lsb;
    fieldMask_ = ((std::uint32_t{1} << width_) - 1u) << (lsb - 1);
    signMask_ = bitValue(signBit);
    // The weights exactly as the rendering halves them, in single precision.
    // Halving a float is exact until it falls below the smallest normal one;
    // past that the low bits round (or vanish), and then a field with more
    // bits set can render less than one with fewer.
    refusal_ = EncoderRefusal::StepsLost;
    float w = msbWeight;
    for (int k = 0; k < width_; ++k) {
        weights_[k] = w;
        if (k > 0 && !(static_cast<double>(w) * 2.0 == static_cast<double>(weights_[k - 1])))
            return;
        w = w * 0.5f;
    }
    refusal_ = EncoderRefusal::LargestOverflows;
    maxMagnitude_ = decimalValue(fieldMask_, format).magnitude; // every field bit set, sign clear
    if (!std::isfinite(maxMagnitude_))
        return;
    // A sum of the top k weights is a whole number of the k-th weight that needs
    // at most k + significantBits bits: within single precision's 24 the
    // rendering adds them without rounding.
    // (Weights halved into the subnormal range have fewer bits: those go bit by bit.)
    exactBits_ = std::isnormal(weights_[width_ - 1]) ? std::clamp(24 - significantBits(msbWeight), 0, width_) : 0;
    largestField_ = (std::uint32_t{1} << width_) - 1u;
    stepsPerUnit_ = 1.0 / static_cast<double>(weights_[width_ - 1]);
    refusal_ = EncoderRefusal::None;
}

std::array<float, 4> DecimalEncoder::renderingsFrom(std::uint32_t first) const
{
    // first and first + 2 end in a clear bit; the odd fields after them are
    // their sums with the last weight added, as the rendering adds it last.
    const std::uint32_t third = first + 2;
    // The top bits' sums never round: each is its top bits' count of their lowest weight.
    const int addedBits = width_ - exactBits_;
    const double topWeight = exactBits_ > 0 ? static_cast<double>(weights_[exactBits_ - 1]) : 0.0;
    float firstSum = static_cast<float>(static_cast<double>(first >> addedBits) * topWeight);
    float thirdSum = static_cast<float>(static_cast<double>(third >> addedBits) * topWeight);
    // Below them, as the rendering adds: each field's next bit at the top of a
    // word, whose sign masks the weight. A clear bit adds zero, which changes
    // no sum; no branch, since whether a bit is set is as good as random. The
    // two sums are independent, so their additions overlap.
    std::uint32_t firstBits = addedBits > 0 ? first << (32 - addedBits) : 0;
    std::uint32_t thirdBits = addedBits > 0 ? third << (32 - addedBits) : 0;
    const auto ifTopSet = [](std::uint32_t weight, std::uint32_t bits) {
        return std::bit_cast<float>(weight & static_cast<std::uint32_t>(static_cast<std::int32_t>(bits) >> 31));
    };
    for (int k = exactBits_; k < width_ - 1; ++k) {
        const auto weight = std::bit_cast<std::uint32_t>(weights_[k]);
        firstSum = firstSum + ifTopSet(weight, firstBits);
        thirdSum = thirdSum + ifTopSet(weight, thirdBits);
        firstBits <<= 1;
        thirdBits <<= 1;
    }
    const float last = weights_[width_ - 1];
    std::array<float, 4> sums{firstSum, firstSum + last, thirdSum, thirdSum + last};
    for (std::uint32_t i = 0; i < 4; ++i)
        if (first + i > largestField_) // past the largest value: no field
            sums[i] = std::numeric_limits<float>::infinity();
    return sums;
}

std::uint32_t DecimalEncoder::nearestField(double magnitude) const
{
    // Fields render close to their count of steps: four around the guess
    // hold the two renderings either side of the magnitude unless the sums
    // strayed a step from it. (Rounded by a cast, one instruction: the
    // magnitude is at most half a step past the largest field.)
    const auto guess =
        static_cast<std::uint32_t>(std::min(magnitude * stepsPerUnit_ + 0.5, static_cast<double>(largestField_)));
    const std::uint32_t lastFirst = largestField_ >= 3 ? largestField_ - 3 : 0; // even: the largest is odd
    std::uint32_t first = guess < 2 ? 0 : std::min((guess - 1u) & ~1u, lastFirst);
    std::array<float, 4> sums = renderingsFrom(first);
    const bool holds = static_cast<double>(sums[0]) <= magnitude &&
        (static_cast<double>(sums[3]) > magnitude || first == lastFirst);
    if (!holds) { // found bit by bit: the largest not above, and the next
        first = largestFieldNotAbove(magnitude) & ~1u;
        sums = renderingsFrom(first);
    }
    // The renderings grow with the field: the last of these not above the
    // magnitude and the one after it are the nearest below and above; of two
    // as near, the larger, as a value halfway rounds. Counted, not branched
    // on: which of them wins is as good as random.
    std::uint32_t below = 0;
    for (std::uint32_t i = 1; i < 4; ++i)
        below += static_cast<double>(sums[i]) <= magnitude ? 1u : 0u;
    const double under = magnitude - static_cast<double>(sums[below]);
    // Past the fourth there is no nearer field: either the fourth lies above
    // the magnitude or it is the largest. (Not under + 1: at steps beyond 2^53
    // adding one changes nothing, and the field would run past its bits.)
    const double over = below < 3 ? static_cast<double>(sums[below + 1]) - magnitude
                                  : std::numeric_limits<double>::infinity();
    return std::min(first + below + (over <= under ? 1u : 0u), largestField_);
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
    if (!usable())
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
        steps = nearestField(magnitude);
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
