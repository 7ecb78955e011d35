// The formats the demo working directory starts with decode the demo traffic.
#include <gtest/gtest.h>

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
