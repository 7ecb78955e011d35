// The per-label formats of the displayed input channel.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "FormatTestSupport.h"
#include "formats/FormatLookup.h"
#include "formats/LabelFormats.h"

namespace telvar5 {
namespace {

using test::makeFormat;
using test::makeParam;

class LabelFormatsTest : public ::testing::Test {
protected:
    std::unique_ptr<FormatTables> tables = std::make_unique<FormatTables>();
    LabelFormatTable labels{};

    void setFormats(std::initializer_list<DecimalFormat> list)
    {
        std::size_t i = 0;
        for (const auto& f : list)
            tables->formatTable[i++] = f;
        tables->formatCount = static_cast<std::uint16_t>(i);
    }
    void setParams(std::initializer_list<ParamFormatEntry> list)
    {
        std::size_t i = 0;
        for (const auto& e : list)
            tables->paramFormatTable[i++] = e;
        tables->paramFormatCount = static_cast<std::uint16_t>(i);
    }
};

TEST_F(LabelFormatsTest, CopiesTheFormatsOfTheDisplayedChannel)
{
    setFormats({makeFormat("ALT", 0, 28, 11, 90.0f, "m"), makeFormat("SPD", 1, 29, 9, 0.5f, "kt")});
    setParams({makeParam(0310, 3, "SPD"), makeParam(0311, 2, "ALT"), makeParam(0312, 3, "ALT")});
    buildLabelFormats(labels, *tables, 3);
    EXPECT_EQ(labels[0310].bytes, tables->formatTable[1].bytes);
    EXPECT_EQ(labels[0312].bytes, tables->formatTable[0].bytes);
    EXPECT_TRUE(labels[0311].tagEmpty());

    buildLabelFormats(labels, *tables, 2);
    EXPECT_EQ(labels[0311].bytes, tables->formatTable[0].bytes);
    EXPECT_TRUE(labels[0310].tagEmpty());
    EXPECT_TRUE(labels[0312].tagEmpty());
}

TEST_F(LabelFormatsTest, ClearsOnlyTheFirstTagByte)
{
    labels[5] = makeFormat("OLD", 1, 20, 10, 2.0f, "V");
    const DecimalFormat before = labels[5];
    buildLabelFormats(labels, *tables, 1);
    EXPECT_TRUE(labels[5].tagEmpty());
    for (std::size_t i = 1; i < DecimalFormat::kSize; ++i)
        EXPECT_EQ(labels[5].bytes[i], before.bytes[i]) << "byte " << i;
}

TEST_F(LabelFormatsTest, ChannelZeroEndsTheWalk)
{
    setFormats({makeFormat("ALT", 0, 28, 11, 90.0f, "m")});
    setParams({makeParam(1, 4, "ALT"), makeParam(2, 0, "ALT"), makeParam(3, 4, "ALT")});
    tables->paramFormatCount = 3;
    buildLabelFormats(labels, *tables, 4);
    EXPECT_FALSE(labels[1].tagEmpty());
    EXPECT_TRUE(labels[2].tagEmpty());
    EXPECT_TRUE(labels[3].tagEmpty());
}

TEST_F(LabelFormatsTest, LastRecordThatFindsItsFormatWins)
{
    setFormats({makeFormat("A", 0, 28, 11, 1.0f, "m"), makeFormat("B", 0, 28, 11, 2.0f, "m")});
    setParams({makeParam(7, 1, "A"), makeParam(7, 1, "B"), makeParam(7, 1, "NONE"), makeParam(8, 1, "NONE")});
    buildLabelFormats(labels, *tables, 1);
    EXPECT_EQ(labels[7].tag(), "B");
    EXPECT_TRUE(labels[8].tagEmpty()); // a tag naming no format
}

TEST_F(LabelFormatsTest, DuplicateTagsTakeTheFirstFormat)
{
    setFormats({makeFormat("X", 0, 28, 11, 1.0f, "first"), makeFormat("X", 0, 28, 11, 2.0f, "second")});
    setParams({makeParam(9, 6, "X")});
    buildLabelFormats(labels, *tables, 6);
    EXPECT_EQ(labels[9].units(), "first");
    EXPECT_EQ(findFormatByTag(*tables, "X"), 0);
    EXPECT_EQ(findFormatByTag(*tables, "x"), -1); // case-sensitive
}

TEST_F(LabelFormatsTest, OnlyFormatsInUseAreSearched)
{
    setFormats({makeFormat("A", 0, 28, 11, 1.0f, "m"), makeFormat("B", 0, 28, 11, 1.0f, "m")});
    tables->formatCount = 1;
    setParams({makeParam(1, 1, "B")});
    buildLabelFormats(labels, *tables, 1);
    EXPECT_TRUE(labels[1].tagEmpty());

    // A count beyond the table (a bug elsewhere) is clamped, never read past.
    tables->formatTable[255] = makeFormat("LAST", 0, 28, 11, 1.0f, "m");
    tables->formatCount = 40000;
    setParams({makeParam(1, 1, "LAST")});
    buildLabelFormats(labels, *tables, 1);
    EXPECT_EQ(labels[1].tag(), "LAST");
    EXPECT_EQ(findFormatByTag(*tables, "NOWHERE"), -1);
}

TEST_F(LabelFormatsTest, FullTableWithoutChannelZeroIsWalkedToItsEnd)
{
    setFormats({makeFormat("A", 0, 28, 11, 1.0f, "m")});
    for (std::size_t i = 0; i < kFormatTableSize; ++i)
        tables->paramFormatTable[i] = makeParam(static_cast<std::uint8_t>(i), 2, "A");
    buildLabelFormats(labels, *tables, 2);
    EXPECT_FALSE(labels[0].tagEmpty());
    EXPECT_FALSE(labels[255].tagEmpty());
}

// The indexed lookup of buildLabelFormats agrees with the plain first-match
// search on full tables of duplicate, near-equal and damaged (9-byte) tags.
TEST_F(LabelFormatsTest, AgreesWithTheFirstMatchSearchOnFullTables)
{
    std::mt19937 random(2026);
    auto tagBytes = [&](std::uint8_t* field) {
        const std::size_t length = 1 + random() % 9; // 9: no zero byte in the field
        for (std::size_t i = 0; i < 9; ++i)
            field[i] = i < length ? static_cast<std::uint8_t>('A' + random() % 2) : 0;
    };
    for (int round = 0; round < 20; ++round) {
        for (std::size_t i = 0; i < kFormatTableSize; ++i) {
            tables->formatTable[i] = makeFormat("", 0, 28, 11, static_cast<float>(i + 1), "m");
            tagBytes(tables->formatTable[i].bytes.data());
            tables->paramFormatTable[i] = makeParam(static_cast<std::uint8_t>(random() % 256), 1, "");
            tagBytes(tables->paramFormatTable[i].bytes.data() + ParamFormatEntry::kTagOffset);
        }
        tables->formatCount = static_cast<std::uint16_t>(random() % 257);
        buildLabelFormats(labels, *tables, 1);

        LabelFormatTable expected{};
        for (const ParamFormatEntry& record : tables->paramFormatTable) {
            const int found = findFormatByTag(*tables, record.formatTag());
            if (found >= 0)
                expected[record.label()] = tables->formatTable[static_cast<std::size_t>(found)];
        }
        for (std::size_t label = 0; label < 256; ++label) {
            ASSERT_EQ(labels[label].tagEmpty(), expected[label].tagEmpty()) << round << " " << label;
            if (!expected[label].tagEmpty()) {
                ASSERT_EQ(labels[label].msbWeight(), expected[label].msbWeight()) << round << " " << label;
            }
        }
    }
}

} // namespace
} // namespace telvar5
