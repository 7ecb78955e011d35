// The widgets' Windows-1251 texts through the program's own table, with no
// help from the toolkit's converters.
#include <gtest/gtest.h>

#include <string>

#include "gui/Cp1251Text.h"

namespace telvar5 {
namespace {

TEST(Cp1251Text, EveryByteComesBackAndTheLettersAreRussian)
{
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    const QString text = textFromCp1251(bytes);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1251FromText(text), bytes);

    const struct {
        unsigned char byte;
        char16_t character;
    } known[] = {{0x00, u'\0'}, {'A', u'A'},    {0xC0, u'А'},    {0xDF, u'Я'},    {0xE0, u'а'}, {0xFF, u'я'},
                 {0xA8, u'Ё'},  {0xB8, u'ё'},   {0xB9, u'№'},    {0xB0, u'°'},    {0x88, u'€'}, {0x98, u'\uFFFD'}};
    for (const auto& k : known)
        EXPECT_EQ(text[k.byte], QChar(k.character)) << int{k.byte};
}

TEST(Cp1251Text, ACharacterTheCodePageLacksBecomesOneSubstituteByte)
{
    EXPECT_EQ(cp1251FromText(u"кг/м²"), "\xEA\xE3/\xEC\x1A");
    EXPECT_EQ(cp1251FromText(u"é中x"), "\x1A\x1Ax");
    EXPECT_EQ(cp1251FromText(u"a😀b"), "a\x1A" "b"); // a surrogate pair is one character
    EXPECT_EQ(cp1251FromText(QString(QChar(0xD83D))), "\x1A"); // and half of one is none
}

} // namespace
} // namespace telvar5
