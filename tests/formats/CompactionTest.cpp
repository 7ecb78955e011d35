// Keeping the format tables dense.
#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "FormatTestSupport.h"
#include "formats/Compaction.h"
#include "formats/FormatTables.h"

namespace telvar5 {
namespace {

using test::makeFormat;
using test::makeParam;

TEST(CompactFormats, KeepsCompleteRecordsInOrderAndEmptiesTheTail)
{
    auto tables = std::make_unique<FormatTables>();
    auto& t = tables->formatTable;
    t[0] = makeFormat("A", 0, 28, 11, 1.0f, "V");
    t[1] = makeFormat("", 0, 28, 11, 1.0f, "V");        // no tag
    t[2] = makeFormat("B", 1, 29, 9, 2.0f, "m");
    t[3] = makeFormat("C", 0, 28, 11, 0.0f, "V");       // no weight
    t[4] = makeFormat("D", 0, 28, 11, std::numeric_limits<float>::quiet_NaN(), "V");
    t[5] = makeFormat("E", 0, 0, 11, 1.0f, "V");        // no msbBit
    t[6] = makeFormat("F", 0, 28, 0, 1.0f, "V");        // no lsbBit
    t[7] = makeFormat("G", 0, 28, 11, 1.0f, "");        // no units
    t[8] = makeFormat("H", 0, 20, 10, 3.0f, "km");
    const DecimalFormat tailBefore = t[8];

    EXPECT_EQ(compactFormats(*tables, 9), 4);
    EXPECT_EQ(tables->formatCount, 3);
    EXPECT_EQ(t[0].tag(), "A");
    EXPECT_EQ(t[1].tag(), "B");
    EXPECT_EQ(t[1].bit29IsData(), 1);
    EXPECT_EQ(t[2].tag(), "H");

    // Record 8 is now in the tail: only the marking bytes are cleared.
    for (std::size_t i = 3; i < kFormatTableSize; ++i) {
        EXPECT_TRUE(t[i].tagEmpty());
        EXPECT_EQ(t[i].msbBit(), 0);
        EXPECT_EQ(t[i].lsbBit(), 0);
        EXPECT_EQ(t[i].msbWeight(), 0.0f);
        EXPECT_EQ(t[i].units(), "");
    }
    DecimalFormat expectedTail = tailBefore;
    expectedTail.bytes[0] = 0;
    expectedTail.setMsbBit(0);
    expectedTail.setLsbBit(0);
    expectedTail.setMsbWeight(0.0f);
    expectedTail.bytes[16] = 0;
    EXPECT_EQ(t[8].bytes, expectedTail.bytes);
}

TEST(CompactFormats, TailKeepsBit29AndLeftoverTextBytes)
{
    auto tables = std::make_unique<FormatTables>();
    DecimalFormat& f = tables->formatTable[0];
    f = makeFormat("LONGTAG", 1, 28, 11, 0.0f, "meters"); // incomplete: weight 0
    compactFormats(*tables, 1);
    EXPECT_EQ(tables->formatCount, 0);
    EXPECT_EQ(f.bit29IsData(), 1);
    EXPECT_EQ(f.bytes[1], 'O');
    EXPECT_EQ(f.bytes[17], 'e');
}

TEST(CompactFormats, NothingLeftGivesOneEmptyRow)
{
    auto tables = std::make_unique<FormatTables>();
    tables->formatCount = 5;
    EXPECT_EQ(compactFormats(*tables, 5), 2);
    EXPECT_EQ(tables->formatCount, 0);
}

TEST(CompactFormats, RecordsBeyondTheShownRowsAreDropped)
{
    auto tables = std::make_unique<FormatTables>();
    for (int i = 0; i < 4; ++i)
        tables->formatTable[static_cast<std::size_t>(i)] = makeFormat("T", 0, 28, 11, 1.0f, "V");
    EXPECT_EQ(compactFormats(*tables, 2), 3);
    EXPECT_EQ(tables->formatCount, 2);
    EXPECT_TRUE(tables->formatTable[2].tagEmpty());
    EXPECT_TRUE(tables->formatTable[3].tagEmpty());
}

TEST(CompactFormats, RowsOutsideTheTableAreClamped)
{
    auto tables = std::make_unique<FormatTables>();
    for (auto& f : tables->formatTable)
        f = makeFormat("T", 0, 28, 11, 1.0f, "V");
    EXPECT_EQ(compactFormats(*tables, 100000), 257);
    EXPECT_EQ(tables->formatCount, 256);

    EXPECT_EQ(compactFormats(*tables, -3), 2);
    EXPECT_EQ(tables->formatCount, 0);
    EXPECT_TRUE(tables->formatTable[255].tagEmpty());
}

TEST(CompactParamFormats, KeepsRecordsWithLabelChannelAndTag)
{
    auto tables = std::make_unique<FormatTables>();
    auto& t = tables->paramFormatTable;
    t[0] = makeParam(0, 1, "A");   // no label
    t[1] = makeParam(1, 1, "A");
    t[2] = makeParam(2, 0, "A");   // no channel
    t[3] = makeParam(3, 8, "");    // no tag
    t[4] = makeParam(0377, 8, "B");
    t[5] = makeParam(7, 2, "LEFTOVER");
    t[5].setFormatTag("");         // emptied by a delete

    EXPECT_EQ(compactParamFormats(*tables, 6), 3);
    EXPECT_EQ(tables->paramFormatCount, 2);
    EXPECT_EQ(t[0].label(), 1);
    EXPECT_EQ(t[1].label(), 0377);
    EXPECT_EQ(t[1].formatTag(), "B");
    for (std::size_t i = 2; i < kFormatTableSize; ++i) {
        EXPECT_EQ(t[i].label(), 0);
        EXPECT_EQ(t[i].channel(), 0);
        EXPECT_EQ(t[i].formatTag(), "");
    }
    EXPECT_EQ(t[5].bytes[3], 'E'); // text bytes after the first stay

    EXPECT_EQ(compactParamFormats(*tables, 0), 2);
    EXPECT_EQ(tables->paramFormatCount, 0);
    EXPECT_EQ(compactParamFormats(*tables, 999), 2);
    EXPECT_EQ(compactParamFormats(*tables, -1), 2);
}

} // namespace
} // namespace telvar5
