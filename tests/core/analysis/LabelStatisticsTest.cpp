#include <gtest/gtest.h>

#include <vector>

#include "core/analysis/LabelStatistics.h"

namespace telvar5 {
namespace {

// Reception starts off a whole second, so a rate counted in seconds of the
// clock rather than seconds since the start shows.
constexpr std::int64_t kStartUs = 1'300'000;

struct Tick {
    std::int64_t ms; // since the start of reception
    std::vector<std::uint32_t> words;
};

struct SequenceCase {
    const char* name;
    std::vector<Tick> ticks;
    std::int64_t nowMs;
    std::uint64_t count;
    double rate;
    std::int64_t minMs; // -1: no interval yet
    std::int64_t maxMs;
    std::uint32_t lastWord;
};

std::vector<Tick> every500ms(int ticks, std::uint32_t word)
{
    std::vector<Tick> out;
    for (int i = 1; i <= ticks; ++i)
        out.push_back({i * 500, {word + static_cast<std::uint32_t>(i) * 0x100}});
    return out;
}

TEST(LabelStatistics, FiguresOfLabel203AfterASequenceOfTicks)
{
    const std::uint32_t w = 0x60000083; // label 203 octal
    const std::vector<SequenceCase> cases = {
        {"one word a tick for 4 s", every500ms(8, w), 4000, 8, 2.0, 500, 500, w + 0x800},
        {"one word has no interval", {{700, {w}}}, 2000, 1, 0.5, -1, -1, w},
        {"two words in one read, a third later", {{200, {w, w + 0x100, 0x84}}, {1700, {w + 0x200}}}, 2000, 3, 1.5, 0,
         1500, w + 0x200},
        {"other labels count apart", {{200, {w, 0x84, 0x84}}, {900, {0x83}}}, 1000, 2, 2.0, 700, 700, 0x83},
        {"still counted while its second covers the last 10 s", {{500, {w}}}, 10900, 1, 1 / 10.9, -1, -1, w},
        {"gone once its whole second is more than 10 s back", {{500, {w}}}, 11000, 1, 0.0, -1, -1, w},
        {"old words drop out of the rate, not of the count", {{500, {w, w, w, w}}, {12300, {w}}}, 12500, 5, 1 / 10.5, 0,
         11800, w},
        {"a bucket reused after 11 s counts its new second only", {{500, {w, w}}, {11500, {w}}}, 11900, 3, 1 / 10.9,
         0, 11000, w},
        {"a long silence empties every bucket", {{500, {w, w}}, {25500, {w}}}, 25900, 3, 1 / 10.9, 0, 25000, w},
        {"before any time has passed", {{0, {w}}}, 0, 1, 0.0, -1, -1, w},
    };
    for (const SequenceCase& c : cases) {
        SCOPED_TRACE(c.name);
        LabelStatistics stats;
        stats.reset(4, kStartUs);
        for (const Tick& t : c.ticks)
            for (std::uint32_t word : t.words)
                stats.record(4, word, kStartUs + t.ms * 1000);
        const LabelStatistics::Figures f = stats.figures(4, 0203, kStartUs + c.nowMs * 1000);
        EXPECT_EQ(f.count, c.count);
        EXPECT_NEAR(f.wordsPerSecond, c.rate, 1e-9);
        EXPECT_EQ(f.minIntervalUs, c.minMs < 0 ? -1 : c.minMs * 1000);
        EXPECT_EQ(f.maxIntervalUs, c.maxMs < 0 ? -1 : c.maxMs * 1000);
        EXPECT_EQ(f.lastWord, c.lastWord);
        EXPECT_EQ(f.lastUs, kStartUs + c.ticks.back().ms * 1000);
    }
}

TEST(LabelStatistics, ALabelIsStaleOnceItsNewestWordIsOlderThanFiveSeconds)
{
    struct Case {
        const char* what;
        std::vector<std::int64_t> wordsMs;
        std::int64_t nowMs;
        bool stale;
    };
    const Case cases[] = {
        {"a word just now", {1000}, 1000, false},
        {"exactly five seconds old", {1000}, 6000, false},
        {"older than five seconds", {1000}, 6001, true},
        {"the newest word counts", {1000, 4000}, 8000, false},
        {"no word at all", {}, 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LabelStatistics stats;
        stats.reset(1, kStartUs);
        for (std::int64_t ms : c.wordsMs)
            stats.record(1, 0x60000083, kStartUs + ms * 1000);
        EXPECT_EQ(stats.figures(1, 0203, kStartUs + c.nowMs * 1000).stale, c.stale);
    }
}

TEST(LabelStatistics, KeepsFirstSeenOrderPerChannelAndForgetsOnlyTheRestartedChannel)
{
    LabelStatistics stats;
    stats.reset(2, 0);
    stats.reset(3, 0);
    for (std::uint32_t word : {0x105u, 0x003u, 0x205u, 0x1C8u})
        stats.record(2, word, 1000);
    stats.record(3, 0x003, 1000);
    stats.record(8, 0x007, 1000); // no such channel: ignored

    const std::vector<std::uint8_t> order2(stats.labelsInOrder(2).begin(), stats.labelsInOrder(2).end());
    EXPECT_EQ(order2, (std::vector<std::uint8_t>{5, 3, 0xC8}));
    ASSERT_EQ(stats.labelsInOrder(3).size(), 1u);
    EXPECT_TRUE(stats.labelsInOrder(8).empty());
    EXPECT_EQ(stats.count(2, 5), 2u);
    EXPECT_EQ(stats.figures(2, 256, 1000).count, 0u) << "a label outside the table has no figures";

    std::bitset<256> expected;
    expected.set(5).set(3).set(0xC8);
    EXPECT_EQ(stats.takeTouched(2), expected);
    EXPECT_TRUE(stats.takeTouched(2).none()) << "taking the changes clears them";
    stats.record(2, 0x003, 2000);
    EXPECT_EQ(stats.takeTouched(2), std::bitset<256>().set(3));

    const std::uint32_t generation2 = stats.generation(2);
    const std::uint32_t generation3 = stats.generation(3);
    stats.record(2, 0x005, 3000);
    stats.reset(2, 5000);
    EXPECT_NE(stats.generation(2), generation2);
    EXPECT_EQ(stats.generation(3), generation3);
    EXPECT_TRUE(stats.labelsInOrder(2).empty());
    EXPECT_TRUE(stats.takeTouched(2).none());
    EXPECT_EQ(stats.count(2, 5), 0u);
    EXPECT_EQ(stats.count(3, 3), 1u) << "the other channel keeps its labels";

    stats.record(2, 0x1C8, 5500);
    EXPECT_EQ(stats.labelsInOrder(2).size(), 1u);
    EXPECT_EQ(stats.labelsInOrder(2)[0], 0xC8);
    const LabelStatistics::Figures f = stats.figures(2, 0xC8, 6000);
    EXPECT_EQ(f.minIntervalUs, -1) << "no interval reaches back across a restart";
    EXPECT_DOUBLE_EQ(f.wordsPerSecond, 1000.0) << "the rate counts from the new start";
}

// Words as the module hands them over: odd parity is the rule; words with an
// even count of ones are counted, per label, until the next start.
TEST(LabelStatistics, CountsTheWordsWithEvenParityUntilTheNextStart)
{
    LabelStatistics stats;
    stats.reset(0, 0);
    const struct {
        std::uint32_t word;
        bool odd;
    } words[] = {
        {0x80000083u, false}, // label 203 and bit 32: four ones
        {0x00000083u, true},  // label 203 alone: three ones
        {0x60190083u, false}, // SSM 3, a value: eight ones
        {0x00000183u, false}, // SDI 1: four ones
        {0x00000283u, false}, // SDI 2: four ones
    };
    std::uint64_t even = 0;
    for (const auto& w : words) {
        EXPECT_EQ(wordParityOdd(w.word), w.odd) << std::hex << w.word;
        stats.record(0, w.word, 1000);
        even += w.odd ? 0 : 1;
        EXPECT_EQ(stats.figures(0, 0x83, 1000).evenParityCount, even) << std::hex << w.word;
    }
    EXPECT_EQ(wordSdi(0x00000283u), 2u);
    EXPECT_EQ(stats.figures(0, 0x84, 1000).evenParityCount, 0u) << "another label counts its own";
    stats.reset(0, 2000);
    EXPECT_EQ(stats.figures(0, 0x83, 2000).evenParityCount, 0u);
}

} // namespace
} // namespace telvar5
