#include <gtest/gtest.h>

#include "core/RefreshPeriod.h"

using namespace telvar5;

TEST(RefreshPeriod, TypedTextIsBroughtIntoTheLimits)
{
    EXPECT_EQ(periodFromText("50", 500), 100);
    EXPECT_EQ(periodFromText("0", 500), 100);
    EXPECT_EQ(periodFromText("-5", 500), 100);
    EXPECT_EQ(periodFromText("100", 500), 100);
    EXPECT_EQ(periodFromText("9999", 500), 9999);
    EXPECT_EQ(periodFromText("12ab", 500), 100);
    EXPECT_EQ(periodFromText(" 250", 500), 250);
}

TEST(RefreshPeriod, FiveOrMoreCharactersGiveTheUpperLimit)
{
    EXPECT_EQ(periodFromText("10000", 500), 10000);
    EXPECT_EQ(periodFromText("00100", 500), 10000);
    EXPECT_EQ(periodFromText("abcde", 500), 10000);
    EXPECT_EQ(periodFromText(" 250 ", 500), 10000);
}

TEST(RefreshPeriod, TextWithoutANumberKeepsTheCurrentPeriod)
{
    EXPECT_EQ(periodFromText("", 700), 700);
    EXPECT_EQ(periodFromText("x1", 700), 700);
    EXPECT_EQ(periodFromText("-", 300), 300);
}

TEST(RefreshPeriod, StatusLines)
{
    EXPECT_EQ(refreshLineAtStart(500), "Обновление экрана:-период  500 мс;   -счетчик 0");
    EXPECT_EQ(refreshLine(500, 1), "Обновление экрана:-период  500 мс;  -счетчик          1");
    EXPECT_EQ(refreshLine(10000, 4294967295u), "Обновление экрана:-период 10000 мс;  -счетчик 4294967295");
    EXPECT_EQ(periodText(250), "250");
}

TEST(RefreshPeriod, CharactersAreCountedNotBytes)
{
    EXPECT_EQ(periodFromText("123ж", 500), 123);   // four characters, five bytes
    EXPECT_EQ(periodFromText("ж", 700), 700);
    EXPECT_EQ(periodFromText("жжжжж", 500), 10000);
}
