// The formats settings file and the parameter formats files.
#include <gtest/gtest.h>


#include <memory>

#include "FormatTestSupport.h"
#include "formats/FormatSettingsFile.h"
#include "formats/ParamFormatsFile.h"

namespace telvar5 {
namespace {

using test::makeFormat;
using test::makeParam;
using test::patternBytes;
using test::readBytes;
using test::writeBytes;

class FormatFiles : public ::testing::Test {
protected:
    test::ScratchDir dir;
    std::unique_ptr<FormatTables> tables = std::make_unique<FormatTables>();
    std::filesystem::path file = dir / "TLV5frmt.stt";
};

TEST_F(FormatFiles, MissingOrEmptyFileGivesNoFormats)
{
    tables->formatCount = 7;
    tables->paramFormatCount = 4;
    EXPECT_FALSE(loadFormatSettings(*tables, file));
    EXPECT_EQ(tables->formatCount, 0);
    EXPECT_EQ(tables->paramFormatCount, 0);

    writeBytes(file, {});
    tables->formatCount = 7;
    EXPECT_TRUE(loadFormatSettings(*tables, file));
    EXPECT_EQ(tables->formatCount, 0);

    EXPECT_FALSE(loadFormatSettings(*tables, dir.path())); // a directory holds no records
    EXPECT_EQ(tables->formatCount, 0);
}

TEST_F(FormatFiles, ShortLastPieceBecomesARecordWithZeroBytes)
{
    const auto bytes = patternBytes(50);
    writeBytes(file, bytes);
    tables->formatTable[2].bytes.fill(0xEE);
    tables->formatTable[3].bytes.fill(0xEE);

    loadFormatSettings(*tables, file);
    ASSERT_EQ(tables->formatCount, 3);
    for (std::size_t i = 0; i < 48; ++i)
        EXPECT_EQ(tables->formatTable[i / 24].bytes[i % 24], bytes[i]);
    EXPECT_EQ(tables->formatTable[2].bytes[0], bytes[48]);
    EXPECT_EQ(tables->formatTable[2].bytes[1], bytes[49]);
    for (std::size_t i = 2; i < 24; ++i)
        EXPECT_EQ(tables->formatTable[2].bytes[i], 0) << "byte " << i;
    EXPECT_EQ(tables->formatTable[3].bytes[0], 0xEE); // beyond the file: untouched
}

TEST_F(FormatFiles, FullTableAndLongerFileLoadAtMost256Records)
{
    auto bytes = patternBytes(256 * 24);
    writeBytes(file, bytes);
    loadFormatSettings(*tables, file);
    EXPECT_EQ(tables->formatCount, 256);
    EXPECT_EQ(tables->formatTable[255].bytes[23], bytes[256 * 24 - 1]);

    // 300 records plus a short piece: the first 256 load, nothing lands after the table.
    tables->paramFormatTable[0] = makeParam(1, 2, "GUARD");
    auto longer = patternBytes(300 * 24 + 5);
    longer[255 * 24] = 0x5A;
    writeBytes(file, longer);
    loadFormatSettings(*tables, file);
    EXPECT_EQ(tables->formatCount, 256);
    EXPECT_EQ(tables->formatTable[255].bytes[0], 0x5A);
    EXPECT_EQ(tables->paramFormatTable[0].formatTag(), "GUARD");
    EXPECT_EQ(tables->paramFormatTable[0].channel(), 2);
}

TEST_F(FormatFiles, ValuesAreLoadedUnchecked)
{
    std::vector<std::uint8_t> record(24, 'Q'); // no zero byte in tag or units
    record[9] = 5;
    record[10] = 40;
    record[11] = 0;
    writeBytes(file, record);
    loadFormatSettings(*tables, file);
    ASSERT_EQ(tables->formatCount, 1);
    const DecimalFormat& f = tables->formatTable[0];
    EXPECT_EQ(f.tag(), "QQQQQQQQQ");
    EXPECT_EQ(f.units(), "QQQQQQQQ");
    EXPECT_EQ(f.bit29IsData(), 5);
    EXPECT_EQ(f.msbBit(), 40);
    EXPECT_EQ(f.lsbBit(), 0);
}

TEST_F(FormatFiles, SaveWritesCountRecordsAndLoadGivesBackEveryByte)
{
    auto& t = tables->formatTable;
    t[0] = makeFormat("AB", 0, 28, 11, 1.0f, "V");
    t[1] = makeFormat("LONGTAG1", 1, 29, 9, -0.25f, "metres");
    t[1].setTag("X");       // leftover bytes after the zero byte
    t[1].setUnits("m");
    t[1].bytes[23] = 0x99;
    t[2] = makeFormat("NOTSAVED", 0, 1, 1, 1.0f, "V");
    tables->formatCount = 2;

    ASSERT_TRUE(saveFormatSettings(*tables, file));
    const auto bytes = readBytes(file);
    ASSERT_EQ(bytes.size(), 48u);
    const std::vector<std::uint8_t> example = {0x41, 0x42, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x1C, 0x0B,
                                               0x00, 0x00, 0x80, 0x3F, 0x56, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 24), example);

    auto loaded = std::make_unique<FormatTables>();
    loadFormatSettings(*loaded, file);
    ASSERT_EQ(loaded->formatCount, 2);
    EXPECT_EQ(loaded->formatTable[0].bytes, t[0].bytes);
    EXPECT_EQ(loaded->formatTable[1].bytes, t[1].bytes);
    EXPECT_EQ(loaded->formatTable[1].bytes[2], 'N');
    EXPECT_TRUE(loaded->formatTable[2].tagEmpty());
}

TEST_F(FormatFiles, SavingNoFormatsLeavesAnEmptyFile)
{
    writeBytes(file, patternBytes(100));
    tables->formatCount = 0;
    EXPECT_TRUE(saveFormatSettings(*tables, file));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(FormatFiles, FailuresAreSilent)
{
    tables->formatCount = 1;
    EXPECT_FALSE(saveFormatSettings(*tables, dir / "no-such-dir" / "TLV5frmt.stt"));
    EXPECT_FALSE(saveFormatSettings(*tables, dir.path()));
    tables->formatCount = 60000; // only through a bug: never reads past the table
    EXPECT_TRUE(saveFormatSettings(*tables, file));
    EXPECT_EQ(std::filesystem::file_size(file), 256u * 24u);
}

TEST_F(FormatFiles, DefaultNameFollowsTheCurrentDirectory)
{
    const auto home = std::filesystem::current_path();
    std::filesystem::create_directory(dir / "a");
    std::filesystem::create_directory(dir / "b");
    tables->formatTable[0] = makeFormat("AB", 0, 28, 11, 1.0f, "V");
    tables->formatCount = 1;

    std::filesystem::current_path(dir / "a");
    saveFormatSettings(*tables);
    std::filesystem::current_path(dir / "b");
    auto other = std::make_unique<FormatTables>();
    loadFormatSettings(*other);
    const auto inB = other->formatCount;
    std::filesystem::current_path(dir / "a");
    loadFormatSettings(*other);
    const auto inA = other->formatCount;
    std::filesystem::current_path(home);

    EXPECT_EQ(std::string(kFormatSettingsFileName), "TLV5frmt.stt");
    EXPECT_EQ(inB, 0);
    EXPECT_EQ(inA, 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "a" / "TLV5frmt.stt"));
}

class ParamFiles : public FormatFiles {
protected:
    std::filesystem::path siFile = dir / "formats.si";
};

TEST_F(ParamFiles, SaveAndRestoreKeepEveryByte)
{
    auto& t = tables->paramFormatTable;
    t[0] = makeParam(0310, 3, "LONGTAG");
    t[0].setFormatTag("ALT");
    t[1] = makeParam(0377, 8, "SPD");
    tables->paramFormatCount = 2;
    ASSERT_TRUE(saveParamFormats(*tables, siFile));
    EXPECT_EQ(std::filesystem::file_size(siFile), 22u);

    auto loaded = std::make_unique<FormatTables>();
    ASSERT_TRUE(loadParamFormats(*loaded, siFile));
    EXPECT_EQ(loaded->paramFormatCount, 2);
    EXPECT_EQ(loaded->paramFormatTable[0].bytes, t[0].bytes);
    EXPECT_EQ(loaded->paramFormatTable[1].bytes, t[1].bytes);
}

TEST_F(ParamFiles, RestoreClearsChannelsAndShortPieceKeepsOldBytes)
{
    auto& t = tables->paramFormatTable;
    for (std::uint8_t i = 0; i < 5; ++i)
        t[i] = makeParam(static_cast<std::uint8_t>(10 + i), 4, "OLD");
    tables->paramFormatCount = 5;

    // Two whole records and a single byte: the third record takes the byte as its
    // label and keeps its old tag, with channel 0.
    auto bytes = patternBytes(23);
    writeBytes(siFile, bytes);
    ASSERT_TRUE(loadParamFormats(*tables, siFile));
    EXPECT_EQ(tables->paramFormatCount, 3);
    EXPECT_EQ(t[1].bytes[10], bytes[21]);
    EXPECT_EQ(t[2].label(), bytes[22]);
    EXPECT_EQ(t[2].channel(), 0);
    EXPECT_EQ(t[2].formatTag(), "OLD");
    EXPECT_EQ(t[3].label(), 13);
    EXPECT_EQ(t[3].channel(), 0);
    EXPECT_EQ(t[255].channel(), 0);

    // Empty file: no records, labels and tags stay.
    writeBytes(siFile, {});
    ASSERT_TRUE(loadParamFormats(*tables, siFile));
    EXPECT_EQ(tables->paramFormatCount, 0);
    EXPECT_EQ(t[4].formatTag(), "OLD");
}

TEST_F(ParamFiles, UnopenableFileChangesNothing)
{
    tables->paramFormatTable[0] = makeParam(1, 2, "A");
    tables->paramFormatCount = 1;
    EXPECT_FALSE(loadParamFormats(*tables, dir / "missing.si"));
    EXPECT_FALSE(loadParamFormats(*tables, dir.path()));
    EXPECT_EQ(tables->paramFormatCount, 1);
    EXPECT_EQ(tables->paramFormatTable[0].channel(), 2);
    EXPECT_FALSE(saveParamFormats(*tables, dir / "missing" / "x.si"));
}

TEST_F(ParamFiles, LongFileLoadsFirst256Records)
{
    auto bytes = patternBytes(300 * 11);
    bytes[255 * 11] = 0x42;
    writeBytes(siFile, bytes);
    tables->formatTable[0] = makeFormat("GUARD", 0, 28, 11, 1.0f, "V");
    ASSERT_TRUE(loadParamFormats(*tables, siFile));
    EXPECT_EQ(tables->paramFormatCount, 256);
    EXPECT_EQ(tables->paramFormatTable[255].label(), 0x42);
    EXPECT_EQ(tables->formatTable[0].tag(), "GUARD");

    tables->paramFormatCount = 1000; // only through a bug
    ASSERT_TRUE(saveParamFormats(*tables, siFile));
    EXPECT_EQ(std::filesystem::file_size(siFile), 256u * 11u);
}

} // namespace
} // namespace telvar5
