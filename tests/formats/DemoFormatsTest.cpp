// The formats the demo working directory starts with decode the demo traffic
// and the demo's output arrays.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "formats/ArincWord.h"
#include "formats/CellText.h"
#include "formats/DecimalText.h"
#include "formats/FormatLookup.h"
#include "formats/FormatSettingsFile.h"
#include "formats/LabelFormats.h"
#include "formats/ParamFormatsFile.h"

using namespace telvar5;

namespace {

const std::filesystem::path kDemo = TELVAR5_DEMO_DIR;

// A BNR word: value in bits 28..(29 - bits), sign in bit 29, SSM 11.
std::uint32_t bnrWord(std::uint8_t label, double value, int bits, double resolution)
{
    const auto counts = static_cast<std::int32_t>(value / resolution);
    // bits data bits and the sign bit 29, two's complement, lowest data bit at 29 - bits.
    const std::uint32_t field = static_cast<std::uint32_t>(counts) & ((1u << (bits + 1)) - 1);
    return (3u << 29) | (field << (28 - bits)) | label;
}

// An output array file: a little-endian u16 count n, then n little-endian u32 words.
std::vector<std::uint32_t> readArrayFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 2)
        return {};
    const std::size_t n = bytes[0] | bytes[1] << 8;
    if (bytes.size() != 2 + 4 * n)
        return {};
    std::vector<std::uint32_t> words(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = bytes.data() + 2 + 4 * i;
        words[i] = p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    }
    return words;
}

} // namespace

TEST(DemoFormats, EveryDecimalFormatIsCompleteAndUnique)
{
    FormatTables tables;
    ASSERT_TRUE(loadFormatSettings(tables, kDemo / "TLV5frmt.stt"));
    ASSERT_GT(tables.formatCount, 0);
    for (int i = 0; i < tables.formatCount; ++i) {
        const DecimalFormat& f = tables.formatTable[static_cast<std::size_t>(i)];
        EXPECT_TRUE(f.complete()) << i;
        EXPECT_EQ(findFormatByTag(tables, f.tag()), i) << f.tag();
    }
}

TEST(DemoFormats, ParameterFormatsNameExistingFormatsAndDecodeAltitude)
{
    FormatTables tables;
    ASSERT_TRUE(loadFormatSettings(tables, kDemo / "TLV5frmt.stt"));
    ASSERT_TRUE(loadParamFormats(tables, kDemo / "demo.si"));
    ASSERT_GT(tables.paramFormatCount, 0);
    for (int i = 0; i < tables.paramFormatCount; ++i) {
        const ParamFormatEntry& p = tables.paramFormatTable[static_cast<std::size_t>(i)];
        EXPECT_TRUE(p.inUse()) << i;
        EXPECT_GE(findFormatByTag(tables, p.formatTag()), 0) << p.formatTag();
    }
    LabelFormatTable labels{};
    buildLabelFormats(labels, tables, 1);
    // Pressure altitude 35000 ft: 17 bits of 1 ft below the sign.
    CellText text;
    // The units "фут" in Windows-1251, right-aligned in four places.
    EXPECT_EQ(std::string(decimalText(bnrWord(0203, 35000, 17, 1.0), labels, text)), " +35000.000000  \xF4\xF3\xF2    ");
}

TEST(DemoFormats, TheDemoArraysDecodeOnInput1ToTheirValues)
{
    // What scripts/make-demo-arrays.py puts in each array, label by label.
    struct Array {
        const char* file;
        std::map<std::uint8_t, double> values;
    };
    const Array arrays[] = {
        {"adc.so",
         {{0203, 35000}, {0204, 35020}, {0205, 0.78}, {0206, 280.5}, {0210, 462.25}, {0211, -17.5}, {0212, -1504},
          {0213, -44.25}}},
        {"irs.so",
         {{0310, 55.7558}, {0311, 37.6173}, {0312, 452.375}, {0313, 87.5}, {0314, 92.25}, {0320, 84.375},
          {0324, 2.8125}, {0325, -12.5}}},
    };
    FormatTables tables;
    ASSERT_TRUE(loadFormatSettings(tables, kDemo / "TLV5frmt.stt"));
    ASSERT_TRUE(loadParamFormats(tables, kDemo / "demo.si"));
    LabelFormatTable labels{};
    buildLabelFormats(labels, tables, 1); // an array sent on output 1 comes back on input 1

    for (const Array& a : arrays) {
        SCOPED_TRACE(a.file);
        const std::vector<std::uint32_t> words = readArrayFile(kDemo / a.file);
        ASSERT_EQ(words.size(), a.values.size()) << "a u16 count and as many u32 words, nothing else";
        for (const std::uint32_t w : words) {
            const auto label = static_cast<std::uint8_t>(wordLabel(w));
            SCOPED_TRACE(::testing::Message() << "label " << std::oct << int(label));
            ASSERT_EQ(a.values.count(label), 1u);
            EXPECT_EQ(wordSsm(w), 3u);
            EXPECT_EQ(std::popcount(w) % 2, 1) << "odd parity";
            EXPECT_GE(w, 0x10000u) << "the monitor ignores a word below 0x10000";
            const DecimalFormat& f = labels[label];
            ASSERT_FALSE(f.tagEmpty());
            const DecimalValue v = decimalValue(w, f);
            const double value = v.sign == '-' ? -v.magnitude : v.magnitude;
            const double halfStep = std::ldexp(f.msbWeight(), f.lsbBit() - f.msbBit()) / 2;
            EXPECT_NEAR(value, a.values.at(label), halfStep + 1e-3 * halfStep);
        }
    }
}
