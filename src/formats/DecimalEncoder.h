#pragma once
// A physical value into the data bits of a word through a decimal format: the
// inverse of decimalValue. The encoder mirrors the rendering's single-precision
// sum bit by bit, so a value that some word renders to comes back as a word
// that renders to that very value, and any other value comes out as the word
// whose rendering lies nearest to it.
#include <array>
#include <cstdint>

#include "formats/DecimalFormat.h"

namespace telvar5 {

// How the value fitted the format.
enum class ValueFit : std::uint8_t {
    InRange,        // the word renders to the value, or to the nearest value the field can hold
    ClampedHigh,    // above the largest value by more than half a step: the largest was taken
    ClampedLow,     // below the smallest value by more than half a step: the smallest was taken
    NotANumber,     // NaN: the field was set to zero
    UnusableFormat, // the format cannot carry a value: nothing of the word was changed
};

// Why a format cannot carry a value.
enum class EncoderRefusal : std::uint8_t {
    None,
    FieldOutOfPlace,   // the field overlaps the label or the sign bit, or msb is below lsb
    WeightNotPositive, // the msb weight is zero, negative, infinite or not a number
    StepsLost,         // halved below single precision's smallest step: the low bits round away,
                       // so the renderings would not grow with the field
    LargestOverflows,  // all bits set render as infinity: the largest value has no number
};

struct EncodedWord {
    std::uint32_t word = 0;
    ValueFit fit = ValueFit::InRange;
};

class DecimalEncoder {
public:
    // A format can carry a value when its field lies within bits 9..(sign bit - 1),
    // msbBit >= lsbBit, and its msbWeight is finite and above zero: the label
    // (bits 1..8) and the sign bit must stay the encoder's to keep or set.
    // Its weights must also halve exactly down to the last bit and its largest
    // value be a finite float: only then do the renderings grow with the field,
    // which the search for the nearest word relies on.
    explicit DecimalEncoder(const DecimalFormat& format);

    bool usable() const { return refusal_ == EncoderRefusal::None; }
    EncoderRefusal refusal() const { return refusal_; }
    // The largest magnitude the field renders (all field bits set); a negative
    // value reaches down to minus the same.
    float maxMagnitude() const { return maxMagnitude_; }
    // The weight of the least significant data bit, as the rendering sums it.
    float lsbWeight() const { return usable() ? weights_[width_ - 1] : 0.0f; }

    // The word `base` with its field and sign bit set for `value`. Every other
    // bit of `base` (label, SDI, SSM, bits between the field and the sign bit,
    // parity) is kept. When the format's sign bit is bit 30 (bit 29 is data)
    // that bit of the SSM carries the sign.
    EncodedWord encode(double value, std::uint32_t base) const;

private:
    // The field M (in steps of the least significant bit) whose rendering lies
    // nearest to the magnitude; between two as near, the larger.
    std::uint32_t nearestField(double magnitude) const;
    // The renderings of the fields first .. first + 3 (first even), summed as
    // the rendering sums them; a field beyond the largest renders as infinity.
    std::array<float, 4> renderingsFrom(std::uint32_t first) const;
    // The largest field M whose sum, taken as the rendering takes it, does not exceed target.
    std::uint32_t largestFieldNotAbove(double target) const;

    EncoderRefusal refusal_ = EncoderRefusal::FieldOutOfPlace;
    int width_ = 0; // msbBit - lsbBit + 1
    int lsbBit_ = 0;
    std::uint32_t fieldMask_ = 0; // in place in the word
    std::uint32_t signMask_ = 0;
    std::array<float, 32> weights_{}; // weights_[k]: the bit k below msbBit, halved in single precision
    float maxMagnitude_ = 0.0f;
    std::uint32_t largestField_ = 0;
    double stepsPerUnit_ = 0.0; // 1 / lsbWeight: a field's first guess
    int exactBits_ = 0; // the top bits whose sums the rendering never rounds
};

} // namespace telvar5
