// The Windows-1251 texts of the format tables as UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "formats/Cp1251.h"

namespace telvar5 {
namespace {

TEST(Cp1251, EveryByteBecomesItsCharacter)
{
    const struct {
        std::string cp1251;
        std::string utf8;
    } cases[] = {
        {"", ""},
        {"kg/m 2", "kg/m 2"},
        {"\xF4\xF2", "фт"},
        {"\xC0\xDF\xE0\xFF", "АЯая"},
        {"\xA8\xB8", "Ёё"},
        {"\xB9\xB0\xB1", "№°±"},
        {"\x80\x88\x96\x99", "Ђ€–™"},
        {"\xA5\xB4\xAA\xBA\xB2\xB3\xAF\xBF", "ҐґЄєІіЇї"},
        {"\xA0", "\u00A0"},
        {"\x98", "\uFFFD"}, // the one unassigned byte
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8FromCp1251(c.cp1251), c.utf8);
        EXPECT_EQ(cp1251FromUtf8(c.utf8), c.cp1251) << c.utf8; // and back
    }
}

TEST(Cp1251, TextThatIsNotUtf8OrNotInTheCodePageHasNoBytes)
{
    const std::string bad[] = {
        "\xC0",             // a lead byte at the end
        "\xD0\x41",         // a lead byte before ASCII
        "\xC1\x81",         // overlong "A"
        "\xE0\x81\x81",     // overlong
        "\xF0\x9F\x98\x80", // a character beyond the basic plane
        "\xE4\xB8\xAD",     // a character the code page lacks
    };
    for (const std::string& text : bad)
        EXPECT_FALSE(cp1251FromUtf8(text).has_value()) << testing::PrintToString(text);
}

} // namespace
} // namespace telvar5
