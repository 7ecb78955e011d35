// Typed numbers read as scanf reads them, in any locale.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "core/formats/NumberText.h"

using namespace telvar5;

TEST(NumberText, IntegersTakeTheLongestPrefixAfterBlanksAndASign)
{
    struct Case {
        const char* text;
        std::optional<unsigned> octal, hex;
        std::optional<int> decimal;
    };
    const Case cases[] = {
        {"12x", 012u, 0x12u, 12},      {" -1", 0xFFFFFFFFu, 0xFFFFFFFFu, -1},
        {"0x", 0u, 0u, 0},             {"-0x1g", 0u, 0xFFFFFFFFu, 0},
        {"+7", 7u, 7u, 7},             {"ff", std::nullopt, 0xFFu, std::nullopt},
        {"", std::nullopt, std::nullopt, std::nullopt}, {"- 1", std::nullopt, std::nullopt, std::nullopt},
        {"89", std::nullopt, 0x89u, 89},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readOctalPrefix(c.text), c.octal) << c.text;
        EXPECT_EQ(readHexPrefix(c.text), c.hex) << c.text;
        EXPECT_EQ(readDecimalPrefix(c.text), c.decimal) << c.text;
    }
}

TEST(NumberText, FloatsReadWithAPointWhateverTheLocale)
{
    EXPECT_EQ(readFloatPrefix("0.5"), 0.5f);
    EXPECT_EQ(readFloatPrefix(" -2.5e1x"), -25.0f);
    EXPECT_EQ(readFloatPrefix("+.25"), 0.25f);
    EXPECT_EQ(readFloatPrefix("0,5"), 0.0f) << "a comma ends the number";
    EXPECT_EQ(readFloatPrefix("1e999"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(readFloatPrefix("1e-999"), 0.0f);
    EXPECT_TRUE(std::isnan(*readFloatPrefix("nan")));
    for (const char* nothing : {"", ".", "+-1", "x1", "-"})
        EXPECT_EQ(readFloatPrefix(nothing), std::nullopt) << nothing;
}
