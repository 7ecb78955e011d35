// File sizes as the recording line shows them.
#include <gtest/gtest.h>

#include "core/analysis/ByteSizeText.h"

using namespace telvar5;

TEST(ByteSizeText, BinaryMultiplesWithOneDecimalRoundedHalfUp)
{
    const struct {
        std::uint64_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 Б"},
        {1023, "1023 Б"},
        {1024, "1,0 КБ"},
        {1024 + 51, "1,0 КБ"},       // 1,0498
        {1024 + 52, "1,1 КБ"},       // 1,0508
        {1048575, "1,0 МБ"},         // 1023,999 КБ rounds up into the next unit
        {5 * 1048576 + 943718, "5,9 МБ"},
        {3ull << 40, "3,0 ТБ"},
        {4096ull << 40, "4096,0 ТБ"}, // the largest unit grows on
    };
    for (const auto& c : cases)
        EXPECT_EQ(byteSizeText(c.bytes), c.text) << c.bytes;
}
