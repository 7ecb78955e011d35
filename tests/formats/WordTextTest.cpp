// Texts of address, code, SSM and the input grid's columns.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <random>

#include "FormatTestSupport.h"
#include "formats/InputGridText.h"
#include "formats/WordText.h"

namespace telvar5 {
namespace {

TEST(WordText, DocumentedWord)
{
    CellText out;
    const std::uint32_t w = 0x12345678;
    EXPECT_EQ(addressText(w, out), "170");
    EXPECT_EQ(inputAddressText(w, out), " 170");
    EXPECT_EQ(codeHexText(w, out), "123456");
    EXPECT_EQ(inputCodeHexText(w, out), " 123456");
    EXPECT_EQ(codeOctalText(w, out), "04432126");
    EXPECT_EQ(codeBinaryText(w, out), "100100011010001010110");
    EXPECT_EQ(ssmText(w, out), " 00 ");
}

TEST(WordText, ZeroWord)
{
    CellText out;
    EXPECT_EQ(addressText(0, out), "000");
    EXPECT_EQ(inputAddressText(0, out), " 000");
    EXPECT_EQ(codeHexText(0, out), "000000");
    EXPECT_EQ(inputCodeHexText(0, out), " 000000");
    EXPECT_EQ(codeOctalText(0, out), "00000000");
    EXPECT_EQ(codeBinaryText(0, out), "0");
    EXPECT_EQ(ssmText(0, out), " 00 ");
    EXPECT_STREQ(out.c_str(), " 00 ");
}

TEST(WordText, AllOnesAndEverySsm)
{
    CellText out;
    EXPECT_EQ(addressText(0xFFFFFFFF, out), "377");
    EXPECT_EQ(codeHexText(0xFFFFFFFF, out), "ffffff");
    EXPECT_EQ(codeOctalText(0xFFFFFFFF, out), "77777777");
    EXPECT_EQ(codeBinaryText(0xFFFFFFFF, out), std::string(24, '1'));
    EXPECT_EQ(codeBinaryText(0x00000100, out), "1");
    EXPECT_EQ(ssmText(0x20000000, out), " 01 ");
    EXPECT_EQ(ssmText(0x40000000, out), " 10 ");
    EXPECT_EQ(ssmText(0x60000000, out), " 11 ");
    EXPECT_EQ(ssmText(0x9FFFFFFF, out), " 00 "); // bits 32 and 29 are not SSM
}

TEST(WordText, NumbersOfTheInputGrid)
{
    CellText out;
    EXPECT_EQ(cellNumberText(0, out), "    0");
    EXPECT_EQ(cellNumberText(255, out), "  255");
    EXPECT_EQ(cycleNumberText(0, out), "         0");
    EXPECT_EQ(cycleNumberText(4294967295u, out), "4294967295");
}

// The renderers must give what the printf format strings give, for any word.
TEST(WordText, MatchesPrintfForRandomWords)
{
    std::setlocale(LC_ALL, "C");
    std::mt19937 rng(429);
    CellText out;
    char expected[64];
    for (int i = 0; i < 20000; ++i) {
        const auto w = static_cast<std::uint32_t>(rng());
        std::snprintf(expected, sizeof expected, "%03o", w & 0xFF);
        ASSERT_EQ(addressText(w, out), expected);
        std::snprintf(expected, sizeof expected, " %03o", w & 0xFF);
        ASSERT_EQ(inputAddressText(w, out), expected);
        std::snprintf(expected, sizeof expected, "%06x", w >> 8);
        ASSERT_EQ(codeHexText(w, out), expected);
        std::snprintf(expected, sizeof expected, " %06x", w >> 8);
        ASSERT_EQ(inputCodeHexText(w, out), expected);
        std::snprintf(expected, sizeof expected, "%08o", w >> 8);
        ASSERT_EQ(codeOctalText(w, out), expected);
        std::snprintf(expected, sizeof expected, "%10lu", static_cast<unsigned long>(w));
        ASSERT_EQ(cycleNumberText(w, out), expected);
        const std::string bin(codeBinaryText(w, out));
        ASSERT_EQ(std::stoul(bin, nullptr, 2), w >> 8);
        ASSERT_TRUE(bin == "0" || bin[0] == '1');
    }
}

TEST(InputGridText, EveryColumnOfAFreshCell)
{
    LabelFormatTable formats{};
    CellText out;
    const char* expected[] = {"  255", " 000", " 000000", "00000000", " 00 ", " ", "0", "         0"};
    for (int col = 0; col < kInputGridColumns; ++col)
        EXPECT_EQ(inputGridCellText(col, 255, 0, 0, formats, out), expected[col]) << "column " << col;
    EXPECT_EQ(inputGridCellText(8, 0, 0x12345678, 7, formats, out), "");
    EXPECT_EQ(inputGridCellText(-1, 0, 0x12345678, 7, formats, out), "");
}

TEST(InputGridText, ColumnsOfAReceivedWord)
{
    LabelFormatTable formats{};
    formats[0310] = test::makeFormat("ALT", 0, 28, 11, 90.0f, "\xE3\xF0\xE0\xE4"); // "град" in Windows-1251
    CellText out;
    EXPECT_EQ(inputGridCellText(0, 12, 0x040000C8, 3, formats, out), "   12");
    EXPECT_EQ(inputGridCellText(1, 12, 0x040000C8, 3, formats, out), " 310");
    EXPECT_EQ(inputGridCellText(2, 12, 0x040000C8, 3, formats, out), " 040000");
    EXPECT_EQ(inputGridCellText(3, 12, 0x040000C8, 3, formats, out), "01000000");
    EXPECT_EQ(inputGridCellText(5, 12, 0x040000C8, 3, formats, out), " +45.000000 \xE3\xF0\xE0\xE4    ");
    EXPECT_EQ(inputGridCellText(6, 12, 0x040000C8, 3, formats, out), "1000000000000000000");
    EXPECT_EQ(inputGridCellText(7, 12, 0x040000C8, 3, formats, out), "         3");
}

} // namespace
} // namespace telvar5
