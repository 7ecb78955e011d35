// The packed records: field access, texts in damaged fields, completeness.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "FormatTestSupport.h"

namespace telvar5 {
namespace {

using test::makeFormat;
using test::makeParam;

TEST(DecimalFormatRecord, ExampleRecordHasTheDocumentedBytes)
{
    const DecimalFormat f = makeFormat("AB", 0, 28, 11, 1.0f, "V");
    const std::array<std::uint8_t, 24> expected = {0x41, 0x42, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x1C, 0x0B,
                                                   0x00, 0x00, 0x80, 0x3F, 0x56, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(f.bytes, expected);
    EXPECT_EQ(f.tag(), "AB");
    EXPECT_EQ(f.units(), "V");
    EXPECT_EQ(f.msbBit(), 28);
    EXPECT_EQ(f.lsbBit(), 11);
    EXPECT_EQ(f.msbWeight(), 1.0f);
}

TEST(DecimalFormatRecord, WeightIsLittleEndianSingle)
{
    DecimalFormat f;
    f.bytes[12] = 0x00; f.bytes[13] = 0x00; f.bytes[14] = 0xB4; f.bytes[15] = 0x42; // 90.0
    EXPECT_EQ(f.msbWeight(), 90.0f);
    f.setMsbWeight(-0.5f);
    EXPECT_EQ(f.bytes[15], 0xBF);
    EXPECT_EQ(f.bytes[14], 0x00);
}

TEST(DecimalFormatRecord, SettersKeepLeftoverBytesAndCutLongTexts)
{
    DecimalFormat f;
    f.setTag("ABCDEFGH");
    f.setTag("XY");
    EXPECT_EQ(f.tag(), "XY");
    EXPECT_EQ(f.bytes[2], 0);
    EXPECT_EQ(f.bytes[3], 'D'); // left over from the longer tag
    EXPECT_EQ(f.bytes[7], 'H');

    f.setTag("123456789012");
    EXPECT_EQ(f.tag(), "12345678");
    EXPECT_EQ(f.bytes[8], 0);
    EXPECT_EQ(f.bytes[9], 0); // bit29IsData untouched

    f.bytes[23] = 0x77;
    f.setUnits("\xEA\xE3/\xF1\xEC\xB2\xFF"); // 7 bytes of Windows-1251: cut to 6
    EXPECT_EQ(f.units(), "\xEA\xE3/\xF1\xEC\xB2");
    EXPECT_EQ(f.bytes[22], 0);
    EXPECT_EQ(f.bytes[23], 0x77); // the eighth byte is never written
}

TEST(DecimalFormatRecord, TextsWithoutZeroByteAreCutAtTheFieldEnd)
{
    DecimalFormat f;
    for (std::size_t i = 0; i < DecimalFormat::kSize; ++i)
        f.bytes[i] = static_cast<std::uint8_t>('a' + i);
    EXPECT_EQ(f.tag(), "abcdefghi");
    EXPECT_EQ(f.units(), "qrstuvwx");

    ParamFormatEntry e;
    for (auto& b : e.bytes)
        b = 'Z';
    EXPECT_EQ(e.formatTag(), "ZZZZZZZZZ");
}

TEST(DecimalFormatRecord, CompleteNeedsEveryFieldButBit29)
{
    const DecimalFormat full = makeFormat("T", 7, 28, 11, 90.0f, "V");
    EXPECT_TRUE(full.complete());

    DecimalFormat f = full;
    f.setTag("");
    EXPECT_FALSE(f.complete());
    f = full;
    f.setUnits("");
    EXPECT_FALSE(f.complete());
    f = full;
    f.setMsbBit(0);
    EXPECT_FALSE(f.complete());
    f = full;
    f.setLsbBit(0);
    EXPECT_FALSE(f.complete());
    f = full;
    f.setMsbWeight(0.0f);
    EXPECT_FALSE(f.complete());
    f.setMsbWeight(-0.0f);
    EXPECT_FALSE(f.complete());
    f.setMsbWeight(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FALSE(f.complete());
    f.setMsbWeight(-std::numeric_limits<float>::infinity());
    EXPECT_TRUE(f.complete());
}

TEST(ParamFormatEntryRecord, FieldsAndInUse)
{
    ParamFormatEntry e = makeParam(0310, 3, "ALT");
    EXPECT_EQ(e.bytes[0], 0310);
    EXPECT_EQ(e.bytes[1], 3);
    EXPECT_EQ(e.formatTag(), "ALT");
    EXPECT_TRUE(e.inUse());

    EXPECT_FALSE(makeParam(0, 3, "ALT").inUse());
    EXPECT_FALSE(makeParam(1, 0, "ALT").inUse());
    EXPECT_FALSE(makeParam(1, 3, "").inUse());

    e.setFormatTag("LONGER12345");
    EXPECT_EQ(e.formatTag(), "LONGER12");
    e.setFormatTag("A");
    EXPECT_EQ(e.formatTag(), "A");
    EXPECT_EQ(e.bytes[4], 'N'); // leftover after the zero byte
}

} // namespace
} // namespace telvar5
