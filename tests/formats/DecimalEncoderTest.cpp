// A physical value into a word through a decimal format, checked against the
// rendering it must invert.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "FormatTestSupport.h"
#include "formats/DecimalEncoder.h"
#include "formats/DecimalText.h"

namespace telvar5 {
namespace {

using test::makeFormat;

double rendered(std::uint32_t word, const DecimalFormat& format)
{
    const DecimalValue v = decimalValue(word, format);
    return v.sign == '-' ? -static_cast<double>(v.magnitude) : static_cast<double>(v.magnitude);
}

std::uint32_t fieldAndSignMask(const DecimalFormat& f)
{
    std::uint32_t mask = f.bit29IsData() == 1 ? 0x20000000u : 0x10000000u;
    for (int n = f.lsbBit(); n <= f.msbBit(); ++n)
        mask |= 1u << (n - 1);
    return mask;
}

TEST(DecimalEncoderTest, DocumentedRenderingsReadBackwards)
{
    const DecimalFormat angle = makeFormat("ALT", 0, 28, 11, 90.0f, "grad");
    const DecimalFormat wide = makeFormat("ALT", 1, 29, 11, 90.0f, "grad");
    struct Case {
        const DecimalFormat& format;
        double value;
        std::uint32_t word;
    };
    const Case cases[] = {
        {angle, 45.0, 0x040000C8},  // bit 27
        {angle, -45.0, 0x1C0000C8}, // sign bit 29, bits 27 and 28
        {angle, 0.0, 0x000000C8},
        {angle, -0.0, 0x000000C8},  // zero never carries the sign
        {wide, 90.0, 0x100000C8},   // bit 29 is data, bit 30 the sign
        {wide, -90.0, 0x300000C8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const EncodedWord e = DecimalEncoder(c.format).encode(c.value, 0xC8);
        EXPECT_EQ(e.word, c.word);
        EXPECT_EQ(e.fit, ValueFit::InRange);
        EXPECT_EQ(rendered(e.word, c.format), c.value);
    }
}

// Random formats of every shape the encoder takes: any field within bits
// 9..28 (or 29 with bit 29 as data), weights that are powers of two and
// weights that are not.
DecimalFormat randomFormat(std::mt19937& rng)
{
    const std::uint8_t wideField = rng() % 2;
    const int top = wideField ? 29 : 28;
    const int lsb = 9 + static_cast<int>(rng() % static_cast<unsigned>(top - 9 + 1));
    const int msb = lsb + static_cast<int>(rng() % static_cast<unsigned>(top - lsb + 1));
    const float weights[] = {1.0f, 90.0f, 65536.0f, 0.1f, 180.0f, 4096.0f, 3.3f, 1e-3f, 2048.0f, 512.0f};
    const float weight = weights[rng() % std::size(weights)] * static_cast<float>(1 + rng() % 3);
    return makeFormat("P", wideField, static_cast<std::uint8_t>(msb), static_cast<std::uint8_t>(lsb), weight, "u");
}

TEST(DecimalEncoderTest, EveryRenderedValueComesBackExactly)
{
    std::mt19937 rng(20261207);
    for (int f = 0; f < 400; ++f) {
        const DecimalFormat format = randomFormat(rng);
        const DecimalEncoder encoder(format);
        ASSERT_TRUE(encoder.usable());
        for (int i = 0; i < 200; ++i) {
            const std::uint32_t word = static_cast<std::uint32_t>(rng());
            const double value = rendered(word, format);
            const EncodedWord e = encoder.encode(value, word);
            ASSERT_EQ(rendered(e.word, format), value)
                << "msb " << int(format.msbBit()) << " lsb " << int(format.lsbBit()) << " weight "
                << format.msbWeight() << " word " << std::hex << word;
            ASSERT_EQ(e.fit, ValueFit::InRange);
            // Label, SDI, SSM, parity and any bit between the field and the sign stay as given.
            ASSERT_EQ(e.word & ~fieldAndSignMask(format), word & ~fieldAndSignMask(format));
        }
    }
}

// The magnitude field `steps` renders to, sign clear.
double renderedSteps(std::uint32_t steps, const DecimalFormat& f) { return rendered(steps << (f.lsbBit() - 1), f); }

// No field within a few steps of the value renders nearer to it than `back` does.
testing::AssertionResult nothingNearer(double value, double back, const DecimalFormat& f, double step)
{
    const double magnitude = std::fabs(value), miss = std::fabs(std::fabs(back) - magnitude);
    const auto centre = static_cast<std::int64_t>(magnitude / step);
    const std::int64_t last = (std::int64_t{1} << (f.msbBit() - f.lsbBit() + 1)) - 1;
    for (std::int64_t k = std::max<std::int64_t>(0, centre - 3); k <= std::min(last, centre + 3); ++k) {
        const double other = renderedSteps(static_cast<std::uint32_t>(k), f);
        if (std::fabs(other - magnitude) < miss)
            return testing::AssertionFailure() << "field " << k << " renders " << other << ", nearer to " << value
                                               << " than " << back;
    }
    return testing::AssertionSuccess();
}

TEST(DecimalEncoderTest, AnyValueComesOutAsTheNearestOrClamped)
{
    std::mt19937 rng(429);
    const auto unit = [&rng] { return static_cast<double>(rng()) / 4294967295.0; };
    for (int f = 0; f < 400; ++f) {
        const DecimalFormat format = randomFormat(rng);
        const DecimalEncoder encoder(format);
        const double max = encoder.maxMagnitude();
        const double step = encoder.lsbWeight();
        const auto last = static_cast<std::uint32_t>((std::uint64_t{1} << (format.msbBit() - format.lsbBit() + 1)) - 1);
        // The rendering's own single-precision sum may be off by a rounding per bit.
        const double slack = (format.msbBit() - format.lsbBit() + 1) * max * std::numeric_limits<float>::epsilon();
        for (int i = 0; i < 400; ++i) {
            double value = 0.0;
            if (i % 2 == 0) {
                value = (unit() * 2.4 - 1.2) * max;
            } else {
                // Near the midpoint of two neighbouring renderings, where their uneven spacing decides.
                const std::uint32_t k = static_cast<std::uint32_t>(rng()) % last;
                const double low = renderedSteps(k, format), high = renderedSteps(k + 1, format);
                value = ((low + high) / 2 + (unit() - 0.5) * (high - low) * 0.02) * (rng() % 2 ? 1.0 : -1.0);
            }
            const EncodedWord e = encoder.encode(value, 0x60000000u | 0203u);
            const double back = rendered(e.word, format);
            if (std::fabs(value) > max + step / 2) {
                ASSERT_EQ(e.fit, value > 0 ? ValueFit::ClampedHigh : ValueFit::ClampedLow);
                ASSERT_EQ(back, value > 0 ? max : -max);
            } else {
                ASSERT_EQ(e.fit, ValueFit::InRange);
                ASSERT_LE(std::fabs(back - value), step / 2 + slack)
                    << "msb " << int(format.msbBit()) << " lsb " << int(format.lsbBit()) << " value " << value;
                ASSERT_TRUE(back == 0.0 || (back < 0) == (value < 0)) << value << " came back as " << back;
                ASSERT_TRUE(nothingNearer(value, back, format, step))
                    << "msb " << int(format.msbBit()) << " lsb " << int(format.lsbBit()) << " weight "
                    << format.msbWeight();
            }
            ASSERT_EQ(e.word & 0xFFu, 0203u);
        }
    }
}

// Weights from the subnormal range to the top of single precision, with any
// mantissa: every word stays within its field and sign, and every value comes
// out as the nearest word (checked against every field), clamped, or the
// format is refused for a reason that holds.
TEST(DecimalEncoderTest, ExtremeWeightsKeepToTheFieldAndGiveTheNearestWord)
{
    std::mt19937 rng(2126);
    const auto unit = [&rng] { return static_cast<double>(rng()) / 4294967295.0; };
    int checkedFormats = 0, refusedFormats = 0;
    for (int f = 0; f < 600; ++f) {
        const std::uint8_t wideField = rng() % 2;
        const int lsb = 9 + static_cast<int>(rng() % 20u);
        const int msb = std::min(lsb + static_cast<int>(rng() % 11u), wideField ? 29 : 28); // up to 2048 fields
        // One in four near the bottom, where halving rounds.
        const bool nearBottom = f % 4 == 1;
        const int exponent = -149 + static_cast<int>(rng() % (nearBottom ? 30u : 277u));
        const float mantissa = f % 3 == 0 ? 1.0f : static_cast<float>(1.0 + unit());
        const float weight = std::ldexp(mantissa, exponent);
        if (!(weight > 0.0f) || !std::isfinite(weight))
            continue;
        const DecimalFormat format =
            makeFormat("P", wideField, static_cast<std::uint8_t>(msb), static_cast<std::uint8_t>(lsb), weight, "u");
        const DecimalEncoder encoder(format);
        const std::uint32_t last = (1u << (msb - lsb + 1)) - 1u;
        std::vector<double> renderings(last + 1);
        for (std::uint32_t k = 0; k <= last; ++k)
            renderings[k] = renderedSteps(k, format);
        if (!encoder.usable()) {
            ++refusedFormats;
            const bool overflows = std::isinf(renderings[last]);
            const bool lowBitLost = std::ldexp(static_cast<double>(weight), lsb - msb) < std::numeric_limits<float>::min();
            ASSERT_TRUE(encoder.refusal() == EncoderRefusal::LargestOverflows ? overflows
                                                                             : encoder.refusal() == EncoderRefusal::StepsLost && lowBitLost)
                << "weight " << weight << " msb " << msb << " lsb " << lsb;
            continue;
        }
        ++checkedFormats;
        for (std::uint32_t k = 1; k <= last; ++k)
            ASSERT_GE(renderings[k], renderings[k - 1]) << "renderings fall at field " << k << " (weight " << weight
                                                        << ", bits " << msb << ".." << lsb << ")";
        const double max = encoder.maxMagnitude(), step = encoder.lsbWeight();
        for (int i = 0; i < (nearBottom ? 600 : 120); ++i) {
            double value = 0.0;
            switch (i % 4) {
            case 0: value = max + step * (unit() - 0.2); break; // about the largest, half a step above it too
            case 1: value = renderings[rng() % (last + 1)] + step * (unit() - 0.5); break;
            case 2: value = (unit() * 2.2 - 1.1) * max; break;
            default: value = -(max + step * (unit() * 0.6 - 0.1)); break;
            }
            const std::uint32_t base = static_cast<std::uint32_t>(rng());
            const EncodedWord e = encoder.encode(value, base);
            ASSERT_EQ(e.word & ~fieldAndSignMask(format), base & ~fieldAndSignMask(format))
                << "weight " << weight << " msb " << msb << " lsb " << lsb << " value " << value;
            const double back = rendered(e.word, format);
            if (e.fit != ValueFit::InRange) {
                ASSERT_GT(std::fabs(value), max + step / 2);
                ASSERT_EQ(back, value > 0 ? max : -max);
                continue;
            }
            const double miss = std::fabs(std::fabs(back) - std::fabs(value));
            for (std::uint32_t k = 0; k <= last; ++k)
                ASSERT_GE(std::fabs(renderings[k] - std::fabs(value)), miss)
                    << "field " << k << " is nearer to " << value << " than " << back << " (weight " << weight
                    << ", bits " << msb << ".." << lsb << ")";
            ASSERT_TRUE(back == 0.0 || (back < 0) == (value < 0)) << value << " came back as " << back;
        }
    }
    EXPECT_GT(checkedFormats, 400);
    EXPECT_GT(refusedFormats, 0); // the sample reaches the refused weights at both ends
}

TEST(DecimalEncoderTest, UnevenlySpacedRenderingsGiveTheNearerWord)
{
    // 20 bits of 90: 64.000250 lies between 64.000168 and 64.000336, nearer the lower.
    const DecimalFormat latlon = makeFormat("LATLON", 0, 28, 9, 90.0f, "grad");
    const struct {
        double value;
        std::uint32_t word;
    } cases[] = {{64.000250, 0x65B05CC8u}, {-64.000250, 0x7A4FA4C8u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const EncodedWord e = DecimalEncoder(latlon).encode(c.value, 0x600000C8u);
        EXPECT_EQ(e.word, c.word);
        EXPECT_NEAR(rendered(e.word, latlon), c.value > 0 ? 64.000168 : -64.000168, 1e-6);
    }
}

TEST(DecimalEncoderTest, HalfAStepBeyondTheLargestValueIsWhereClampingStarts)
{
    // Weights whose sums never round, and one whose sums do.
    for (const DecimalFormat& f : {makeFormat("P", 0, 28, 11, 90.0f, "u"), makeFormat("P", 1, 29, 9, 0.1f, "u")}) {
        const DecimalEncoder encoder(f);
        const double max = encoder.maxMagnitude(), half = encoder.lsbWeight() / 2.0;
        const struct {
            double value;
            ValueFit fit;
        } cases[] = {{max + half, ValueFit::InRange},           {max + half * 1.01, ValueFit::ClampedHigh},
                     {-(max + half), ValueFit::InRange},        {-(max + half * 1.01), ValueFit::ClampedLow},
                     {std::numeric_limits<double>::infinity(), ValueFit::ClampedHigh}};
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << f.msbWeight() << " " << c.value);
            const EncodedWord e = encoder.encode(c.value, 0);
            EXPECT_EQ(e.fit, c.fit);
            EXPECT_EQ(rendered(e.word, f), c.value > 0 ? max : -max);
        }
    }
}

TEST(DecimalEncoderTest, FormatsThatCannotCarryAValueLeaveTheWord)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const DecimalFormat unusable[] = {
        makeFormat("P", 0, 28, 8, 90.0f, "u"),  // the field takes a label bit
        makeFormat("P", 0, 11, 12, 90.0f, "u"), // msb below lsb
        makeFormat("P", 0, 29, 11, 90.0f, "u"), // the field takes the sign bit
        makeFormat("P", 1, 30, 11, 90.0f, "u"),
        makeFormat("P", 0, 28, 11, 0.0f, "u"),
        makeFormat("P", 0, 28, 11, -90.0f, "u"),
        makeFormat("P", 0, 28, 11, nan, "u"),
        makeFormat("P", 0, 28, 11, std::numeric_limits<float>::infinity(), "u"),
        makeFormat("P", 0, 40, 11, 90.0f, "u"),
    };
    for (const DecimalFormat& f : unusable) {
        SCOPED_TRACE(testing::Message() << int(f.msbBit()) << ".." << int(f.lsbBit()) << " " << f.msbWeight());
        const DecimalEncoder encoder(f);
        EXPECT_FALSE(encoder.usable());
        const EncodedWord e = encoder.encode(12.0, 0x9ABCDEF0u);
        EXPECT_EQ(e.fit, ValueFit::UnusableFormat);
        EXPECT_EQ(e.word, 0x9ABCDEF0u);
    }
    // Not a number: the field and sign are cleared, the rest kept.
    const EncodedWord e = DecimalEncoder(makeFormat("P", 0, 28, 11, 90.0f, "u")).encode(std::nan(""), 0xFFFFFFFFu);
    EXPECT_EQ(e.fit, ValueFit::NotANumber);
    EXPECT_EQ(e.word, 0xE00003FFu);
}

} // namespace
} // namespace telvar5
