// The formats the demo working directory starts with decode the demo traffic
// and the demo's output arrays.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
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

// A BNR word as the virtual driver sends it: value in bits 28..(29 - bits), rounded to the
// resolution and wrapping around the field, sign in bit 29, SSM 11.
std::uint32_t bnrWord(std::uint8_t label, double value, int bits, double resolution)
{
    const auto counts = static_cast<std::int64_t>(std::llround(value / resolution));
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

// A resolution as the driver's configuration writes it: a number or a fraction such as 180/32768.
double resolutionValue(std::string_view text)
{
    const auto number = [](std::string_view s) {
        double v = 0.0;
        std::from_chars(s.data(), s.data() + s.size(), v);
        return v;
    };
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos)
        return number(text);
    return number(text.substr(0, slash)) / number(text.substr(slash + 1));
}

// The parameters of the virtual driver's demo traffic (demo/telvar5-vdrv.conf): the bus of input
// `channel` of interface `iface`, the BNR field and the range the value moves in; bits 0 for a
// discrete word.
struct DemoParameter {
    int iface;
    int channel;
    std::uint8_t label;
    int bits;
    const char* resolution;
    double min, max;
};

constexpr DemoParameter kDemoTraffic[] = {
    // Module 1021, input 1: air data computer.
    {0, 1, 0203, 17, "1", 500, 35000},
    {0, 1, 0204, 17, "1", 520, 35020},
    {0, 1, 0205, 16, "0.0000625", 0.30, 0.82},
    {0, 1, 0206, 14, "0.0625", 140, 320},
    {0, 1, 0210, 15, "0.0625", 150, 480},
    {0, 1, 0212, 11, "16", -3000, 3000},
    {0, 1, 0211, 11, "0.25", -30, 35},
    {0, 1, 0213, 11, "0.25", -56, 15},
    // Input 2: inertial reference; angles up to 360 deg wrap to negative ones.
    {0, 2, 0320, 15, "180/32768", 0, 360},
    {0, 2, 0314, 15, "180/32768", 7, 367},
    {0, 2, 0313, 15, "180/32768", 5, 365},
    {0, 2, 0312, 15, "0.125", 0, 480},
    {0, 2, 0324, 14, "180/16384", -5, 15},
    {0, 2, 0325, 14, "180/16384", -30, 30},
    {0, 2, 0310, 20, "180/1048576", 55.70, 55.95},
    {0, 2, 0311, 20, "180/1048576", 37.40, 37.80},
    {0, 2, 0361, 20, "0.125", 500, 35000},
    {0, 2, 0365, 15, "1", -3000, 3000},
    // Input 3: fast attitude data.
    {0, 3, 0324, 14, "180/16384", -5, 15},
    {0, 3, 0325, 14, "180/16384", -30, 30},
    {0, 3, 0326, 13, "0.015625", -5, 5},
    {0, 3, 0327, 13, "0.015625", -10, 10},
    {0, 3, 0320, 15, "180/32768", 0, 360},
    // Input 4: the second air data computer and its status word.
    {0, 4, 0203, 17, "1", 480, 34980},
    {0, 4, 0206, 14, "0.0625", 141, 321},
    {0, 4, 0270, 0, "", 0, 0},
    // Module 2047, input 1.
    {2, 1, 0203, 17, "1", 0, 12000},
    {2, 1, 0206, 14, "0.0625", 0, 250},
    {2, 1, 0320, 15, "180/32768", 90, 90},
    {2, 1, 0213, 11, "0.25", -20, -20},
    // Module 3003, input 1: discrete words only.
    {3, 1, 0270, 0, "", 0, 0},
    {3, 1, 0271, 0, "", 0, 0},
};

// "IFACE CHANNEL LABEL BITS RESOLUTION" of a BNR parameter, "IFACE CHANNEL LABEL discrete" of a
// discrete word, as the configuration writes them.
std::string parameterKey(int iface, int channel, std::string_view label, std::string_view bits,
                         std::string_view resolution)
{
    std::ostringstream key;
    key << iface << ' ' << channel << ' ' << label << ' ';
    if (bits.empty())
        key << "discrete";
    else
        key << bits << ' ' << resolution;
    return key.str();
}

} // namespace

TEST(DemoFormats, TheTrafficTableListsEveryParameterOfTheDemoConfiguration)
{
    std::multiset<std::string> configured;
    std::ifstream in(kDemo / "telvar5-vdrv.conf");
    ASSERT_TRUE(in);
    std::string line, iface, channel;
    while (std::getline(in, line)) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string keyword, label, period, bits, resolution;
        fields >> keyword;
        if (keyword == "traffic")
            fields >> iface >> channel;
        else if (keyword == "bnr" && fields >> label >> period >> bits >> resolution)
            configured.insert(parameterKey(std::stoi(iface), std::stoi(channel), label, bits, resolution));
        else if (keyword == "discrete" && fields >> label)
            configured.insert(parameterKey(std::stoi(iface), std::stoi(channel), label, "", ""));
    }
    std::multiset<std::string> tabled;
    for (const DemoParameter& p : kDemoTraffic) {
        std::ostringstream label;
        label << std::oct << int(p.label);
        tabled.insert(parameterKey(p.iface, p.channel, label.str(), p.bits ? std::to_string(p.bits) : "",
                                   p.resolution));
    }
    EXPECT_EQ(tabled, configured);
}

TEST(DemoFormats, EveryDemoTrafficParameterDecodesOnItsChannelWithinOneStep)
{
    FormatTables tables;
    ASSERT_TRUE(loadFormatSettings(tables, kDemo / "TLV5frmt.stt"));
    ASSERT_TRUE(loadParamFormats(tables, kDemo / "demo.si"));
    LabelFormatTable labels{};
    for (const DemoParameter& p : kDemoTraffic) {
        SCOPED_TRACE(::testing::Message() << "interface " << p.iface << ", input " << p.channel << ", label "
                                          << std::oct << int(p.label));
        buildLabelFormats(labels, tables, static_cast<std::uint16_t>(p.channel));
        const DecimalFormat& f = labels[p.label];
        if (p.bits == 0) {
            EXPECT_TRUE(f.tagEmpty()) << "a discrete word has no decimal format";
            continue;
        }
        EXPECT_FALSE(f.tagEmpty()) << "no decimal format on this channel";
        if (f.tagEmpty())
            continue;
        const double step = resolutionValue(p.resolution);
        const double fieldRange = std::ldexp(step, p.bits + 1); // sign and significant bits
        // Both ends of the range and the middles of sixteen slices of it.
        for (int k = -1; k <= 16; ++k) {
            const double fraction = k < 0 ? 0.0 : k == 16 ? 1.0 : (2 * k + 1) / 32.0;
            const double value = p.min + (p.max - p.min) * fraction;
            const DecimalValue v = decimalValue(bnrWord(p.label, value, p.bits, step), f);
            double error = (v.sign == '-' ? -v.magnitude : v.magnitude) - value;
            error -= fieldRange * std::round(error / fieldRange); // 270 deg goes as -90 deg
            EXPECT_LE(std::abs(error), step) << value << " through format " << f.tag();
        }
    }
}

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
