#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "core/analysis/TrendSeries.h"

namespace telvar5 {
namespace {

constexpr std::uint8_t kLabel = 0203;

// Sign at bit 29, data bits 28..21 weighing 128..1: the field holds whole numbers.
DecimalFormat wholeNumbers()
{
    DecimalFormat f;
    f.setTag("IALT");
    f.setUnits("ft");
    f.setMsbBit(28);
    f.setLsbBit(21);
    f.setMsbWeight(128.0f);
    return f;
}

std::uint32_t wordOf(int value, std::uint8_t label = kLabel)
{
    const auto field = static_cast<std::uint32_t>(value) << 20; // two's complement for a negative value
    return (value < 0 ? 0x10000000u : 0u) | (field & 0x0FF00000u) | label;
}

void store(CaptureRing& ring, std::uint8_t channel, std::uint32_t word, std::int64_t timeUs)
{
    ring.push({timeUs, 0, word, channel, static_cast<std::uint8_t>(word & 0xFF)});
}

std::vector<double> values(const TrendSeries& s)
{
    std::vector<double> v;
    for (std::size_t i = 0; i < s.size(); ++i)
        v.push_back(s.point(i).value);
    return v;
}

TEST(TrendSeries, TakesItsPairWithTheSignFromTheHistoryOnAndEachWordOnce)
{
    struct Stored {
        std::uint8_t channel;
        std::uint32_t word;
    };
    const Stored stored[] = {
        {1, wordOf(5)},   {2, wordOf(7)},  {1, wordOf(9, 0204)}, {1, wordOf(-5)},
        {1, wordOf(127)}, {8, wordOf(-3)}, {1, wordOf(-128)},    {1, wordOf(0)},
    };
    CaptureRing ring(64);
    std::int64_t t = 0;
    for (const Stored& s : stored)
        store(ring, s.channel, s.word, t += 100);
    ring.publish();

    TrendSeries series(1, kLabel, wholeNumbers()); // chosen after these words arrived
    series.feed(ring);
    series.feed(ring);
    store(ring, 1, wordOf(3), 900);
    series.feed(ring); // not published yet: the next tick's
    ring.publish();
    series.feed(ring);
    EXPECT_EQ(values(series), (std::vector<double>{5, -5, 127, -128, 0, 3}));
    EXPECT_EQ(series.point(1).timeUs, 400);
    EXPECT_EQ(series.missed(), 0u);
}

TEST(TrendSeries, ResumesAtTheOldestEntryHeldWhenTheRingWentRound)
{
    CaptureRing ring(16);
    TrendSeries series(1, kLabel, wholeNumbers());
    store(ring, 1, wordOf(1), 0);
    ring.publish();
    series.feed(ring);
    for (int i = 2; i <= 40; ++i)
        store(ring, 1, wordOf(i), i);
    ring.publish();
    series.feed(ring);
    // Entries 1..23 were overwritten (40 stored, 16 held): 24..39 hold the values 25..40.
    EXPECT_EQ(series.missed(), 23u);
    ASSERT_EQ(series.size(), 17u);
    EXPECT_EQ(series.point(1).value, 25);
    EXPECT_EQ(series.point(16).value, 40);
}

TEST(TrendSeries, DropsItsOldestPointsWhenFull)
{
    CaptureRing ring(64);
    for (int i = 1; i <= 6; ++i)
        store(ring, 1, wordOf(i), i);
    ring.publish();
    TrendSeries series(1, kLabel, wholeNumbers(), 4);
    series.feed(ring);
    EXPECT_EQ(values(series), (std::vector<double>{3, 4, 5, 6}));
    EXPECT_EQ(series.added(), 6u) << "a plot that took none yet takes the last min(6, 4)";
}

TEST(TrendSeries, GivesTheLowestAndHighestValueOfATimeWindow)
{
    // 1000 points, one a microsecond, a saw of period 10 with a spike at t = 503.
    CaptureRing ring(2048);
    for (int t = 0; t < 1000; ++t)
        store(ring, 1, wordOf(t == 503 ? 100 : t % 10), t);
    ring.publish();
    TrendSeries series(1, kLabel, wholeNumbers());
    series.feed(ring);

    struct Case {
        std::int64_t from, to;
        std::optional<TrendValueRange> range;
    };
    const Case cases[] = {
        {100, 104, TrendValueRange{0, 4}},   // ends included
        {-50, 2, TrendValueRange{0, 2}},     // cut at the start of the data
        {0, 999, TrendValueRange{0, 100}},   // the spike among them
        {503, 503, TrendValueRange{100, 100}},
        {995, 5000, TrendValueRange{5, 9}},  // cut at the end
        {600, 599, std::nullopt},            // an empty window
        {2000, 3000, std::nullopt},          // after the data
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << ".." << c.to);
        EXPECT_EQ(series.valueRange(c.from, c.to), c.range);
    }
}

} // namespace
} // namespace telvar5
