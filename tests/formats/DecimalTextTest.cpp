// The physical value of a word through its decimal format.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <clocale>
#include <cstdio>
#include <limits>
#include <random>

#include "FormatTestSupport.h"
#include "formats/DecimalText.h"

namespace telvar5 {
namespace {

using test::makeFormat;

const char kGrad[] = "\xE3\xF0\xE0\xE4"; // "град" in Windows-1251

class DecimalTextTest : public ::testing::Test {
protected:
    LabelFormatTable formats{};
    CellText out;

    std::string render(std::uint32_t word) { return std::string(decimalText(word, formats, out)); }
    std::string render(std::uint32_t word, const DecimalFormat& f) { return std::string(decimalText(word, f, out)); }
};

TEST_F(DecimalTextTest, DocumentedValues)
{
    formats[0310] = makeFormat("ALT", 0, 28, 11, 90.0f, kGrad);
    const std::string units = std::string(" ") + kGrad + "    ";
    EXPECT_EQ(render(0x040000C8), " +45.000000" + units);  // bit 27
    EXPECT_EQ(render(0x1C0000C8), " -45.000000" + units);  // sign, bits 27 and 28
    EXPECT_EQ(render(0x100000C8), " -0.000000" + units);   // sign, field zero
    formats[0170] = formats[0310];
    EXPECT_EQ(render(0x12345678), " -155.200424" + units);
}

TEST_F(DecimalTextTest, LabelWithoutFormatIsABlank)
{
    EXPECT_EQ(render(0x040000C8), " ");
    formats[0310] = makeFormat("ALT", 0, 28, 11, 90.0f, "V");
    formats[0310].bytes[0] = 0; // an entry is empty by its first tag byte alone
    EXPECT_EQ(render(0x040000C8), " ");
}

TEST_F(DecimalTextTest, Bit29AsDataTakesTheSignFromBit30)
{
    const DecimalFormat f = makeFormat("B", 1, 29, 11, 90.0f, "V");
    EXPECT_EQ(render(0x100000C8, f), " +90.000000    V    ");
    EXPECT_EQ(render(0x300000C8, f), " -90.000000    V    "); // -(2^28) in a field whose top is bit 29
    // Any value other than 1 keeps bit 29 as the sign.
    const DecimalFormat g = makeFormat("B", 2, 28, 11, 90.0f, "V");
    EXPECT_EQ(render(0x100000C8, g), " -0.000000    V    ");
}

TEST_F(DecimalTextTest, SingleBitFieldsAndSmallWeights)
{
    EXPECT_EQ(render(0x0FFFFFC8, makeFormat("A", 0, 28, 9, 90.0f, "V")), " +179.999832    V    ");
    EXPECT_EQ(render(0x0FFFFF00, makeFormat("A", 0, 28, 9, 0.1f, "m")), " +0.200000    m    ");
    EXPECT_EQ(render(0x12345678, makeFormat("A", 0, 28, 11, 0.1f, "m")), " -0.172445    m    ");
    // msbBit below lsbBit: no bit is summed.
    EXPECT_EQ(render(0x0FFFFFFF, makeFormat("A", 0, 11, 28, 1.0f, "m")), " +0.000000    m    ");
}

TEST_F(DecimalTextTest, UnitsArePaddedToFourAndLongerOnesWrittenWhole)
{
    const std::uint32_t w = 0x040000C8;
    EXPECT_EQ(render(w, makeFormat("A", 0, 28, 11, 90.0f, "")), " +45.000000     " "    ");
    EXPECT_EQ(render(w, makeFormat("A", 0, 28, 11, 90.0f, "ab")), " +45.000000   ab    ");
    EXPECT_EQ(render(w, makeFormat("A", 0, 28, 11, 90.0f, "\xEA\xEC/\xF7\xE0\xF1")),
              " +45.000000 \xEA\xEC/\xF7\xE0\xF1    ");
    DecimalFormat damaged = makeFormat("A", 0, 28, 11, 90.0f, "");
    for (std::size_t i = DecimalFormat::kUnitsOffset; i < DecimalFormat::kSize; ++i)
        damaged.bytes[i] = 'U';
    EXPECT_EQ(render(w, damaged), " +45.000000 UUUUUUUU    ");
}

TEST_F(DecimalTextTest, DamagedBitNumbersGiveDefinedTexts)
{
    // Bits beyond 32 read as 0 while the weight still halves.
    EXPECT_EQ(render(0x800000C8, makeFormat("A", 0, 40, 0, 1.0f, "V")), " +0.003906    V    ");
    // lsbBit 0: the negative field's correction 2^(lsbBit-1) lies outside the word and adds 0.
    EXPECT_EQ(render(0x100000C8, makeFormat("A", 0, 29, 0, 1.0f, "V")), " -0.999999    V    ");
    EXPECT_EQ(render(0x100000C8, makeFormat("A", 0, 40, 33, 1.0f, "V")), " -0.000000    V    ");
    // The longest walk, 255 down to 0, ends and stays finite.
    EXPECT_EQ(render(0x0FFFFFFF, makeFormat("A", 0, 255, 0, 3e38f, "V")), " +0.000000    V    ");
}

TEST_F(DecimalTextTest, NonNumberAndInfiniteWeights)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(render(0x040000C8, makeFormat("A", 0, 28, 11, nan, "V")), " +nan    V    ");
    EXPECT_EQ(render(0x000000C8, makeFormat("A", 0, 28, 11, nan, "V")), " +0.000000    V    ");
    EXPECT_EQ(render(0x0C0000C8, makeFormat("A", 0, 28, 11, FLT_MAX, "V")), " +inf    V    ");
}

TEST_F(DecimalTextTest, LongestTextFitsTheCellBuffer)
{
    DecimalFormat f = makeFormat("A", 1, 29, 29, -FLT_MAX, "");
    for (std::size_t i = DecimalFormat::kUnitsOffset; i < DecimalFormat::kSize; ++i)
        f.bytes[i] = 'W';
    const std::string text = render(0x100000C8, f);
    EXPECT_EQ(text, " +-340282346638528859811704183484516925440.000000 WWWWWWWW    ");
    EXPECT_EQ(text.size(), 62u);
    EXPECT_LT(text.size(), CellText::kCapacity);
}

// The text equals " %c%f %4s    " through printf in the C locale, and does not
// depend on the locale in force (a comma locale must not change the point).
TEST_F(DecimalTextTest, MatchesPrintfAndIgnoresTheLocale)
{
    std::mt19937 rng(5);
    const char* const unitTexts[] = {"", "V", "kg", "\xE3\xF0\xE0\xE4", "metres"};
    std::vector<std::pair<DecimalFormat, std::uint32_t>> cases;
    for (int i = 0; i < 5000; ++i) {
        const auto msb = static_cast<std::uint8_t>(9 + rng() % 21);
        const auto lsb = static_cast<std::uint8_t>(9 + rng() % (msb - 8));
        const double sign = rng() % 4 == 0 ? -1.0 : 1.0; // negative weights occur in damaged files
        const float weight = static_cast<float>(
            sign * std::ldexp(1.0 + static_cast<double>(rng() % 1000) / 1000.0, static_cast<int>(rng() % 40) - 20));
        cases.emplace_back(makeFormat("T", static_cast<std::uint8_t>(rng() % 2), msb, lsb, weight,
                                      unitTexts[rng() % 5]),
                           static_cast<std::uint32_t>(rng()));
    }

    std::setlocale(LC_ALL, "C");
    std::vector<std::string> viaPrintf;
    for (const auto& [f, w] : cases) {
        const DecimalValue v = decimalValue(w, f);
        char buf[128];
        std::snprintf(buf, sizeof buf, " %c%f %4s    ", v.sign, static_cast<double>(v.magnitude),
                      std::string(f.units()).c_str());
        viaPrintf.emplace_back(buf);
    }

    const bool haveCommaLocale = std::setlocale(LC_ALL, "ru_RU.UTF-8") || std::setlocale(LC_ALL, "de_DE.UTF-8");
    for (std::size_t i = 0; i < cases.size(); ++i)
        ASSERT_EQ(render(cases[i].second, cases[i].first), viaPrintf[i]) << "case " << i;
    std::setlocale(LC_ALL, "C");
    if (!haveCommaLocale)
        GTEST_LOG_(INFO) << "no comma locale installed; checked in the C locale only";
}

} // namespace
} // namespace telvar5
