// The sequential word log: the text of its rows, its filter, and the index it grows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis/CaptureRing.h"
#include "core/analysis/WordLog.h"
#include "core/analysis/WordLogSearch.h"
#include "core/analysis/WordLogRowText.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

// Label 203 has a format on channels 1 and 2 only: a field of 25 reads 12.5 ft or 25 m,s.
std::unique_ptr<FormatTables> formats()
{
    auto tables = std::make_unique<FormatTables>();
    tables->formatTable[0] = test::makeFormat("ALT", 0, 28, 17, 1024.0f, "\xF4\xF2 "); // "фт " in Windows-1251
    tables->formatTable[1] = test::makeFormat("SPD", 0, 28, 17, 2048.0f, "m,s");
    tables->formatCount = 2;
    tables->paramFormatTable[0] = test::makeParam(0203, 1, "ALT");
    tables->paramFormatTable[1] = test::makeParam(0203, 2, "SPD");
    tables->paramFormatCount = 2;
    return tables;
}

constexpr std::int64_t kStartUnixUs = 1796727785000000; // 2026-12-08 11:03:05 UTC
const UtcOffsetOf kZone = [](std::int64_t) { return 3 * 3600; };

std::string joined(const WordLogRow& r)
{
    std::string text;
    for (const std::string* field : {&r.sinceStart, &r.wallClock, &r.channel, &r.label, &r.sdi, &r.data, &r.ssm,
                                     &r.parity, &r.word, &r.value, &r.units, &r.sinceSameLabel})
        text += *field + "|";
    return text;
}

TEST(WordLogRowText, GivesEveryFieldOfTheRow)
{
    const WordLogRowText text(*formats(), kStartUnixUs, kZone);
    const struct {
        WordLogEntry entry;
        const char* row;
    } cases[] = {
        {{{1'234'567, 1, 0x00190083, 1, 0}, 20'000},
         "1.235|2026-12-08T14:03:06.235+03:00|1|203|0|00640|0|чёт|00190083|+12.500000|фт|20.000|"},
        // a negative value; rounding carries into the seconds
        {{{1'999'600, 2, 0x1FE70083, 1, 0}, 1'500},
         "2.000|2026-12-08T14:03:07.000+03:00|1|203|0|7F9C0|0|чёт|1FE70083|-12.500000|фт|1.500|"},
        // SDI and SSM 3, the other channel's format, the label's first word
        {{{0, 3, 0x60190383, 2, 0}, -1},
         "0.000|2026-12-08T14:03:05.000+03:00|2|203|3|00640|3|чёт|60190383|+25.000000|m,s||"},
        // no format on the channel
        {{{4294967296123, 4, 0xFFFFFF01, 3, 0}, 0},
         "4294967.296|2027-01-27T07:05:52.296+03:00|3|001|3|7FFFF|3|нечёт|FFFFFF01|||в такте|"},
        // a damaged file: channel 0, a time below the start
        {{{-5, 5, 0x00190083, 0, 0}, -1}, "0.000|2026-12-08T14:03:05.000+03:00|0|203|0|00640|0|чёт|00190083||||"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(joined(text.row(c.entry)), c.row);
}

TEST(WordLogFilter, LabelListKeepsTheLabelsItStarts)
{
    const struct {
        const char* text;
        std::size_t count;
        std::vector<unsigned> kept;
    } cases[] = {
        {"", 256, {0, 0377}},
        {"31", 8, {0310, 0317}},
        {"205; 31", 9, {0205, 0310, 0317}},
        {"1", 64, {0100, 0177}},
        {" 007 ,\t377 ", 2, {07, 0377}},
        {"8, 3777, x", 0, {}}, // nothing octal that starts a label
    };
    for (const auto& c : cases) {
        WordLogFilter filter;
        filter.setLabels(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(filter.labels().count(), c.count);
        for (const unsigned label : c.kept)
            EXPECT_TRUE(filter.labels().test(label));
    }
}

TEST(WordLogFilter, EachPartNarrowsTheWords)
{
    const CaptureEntry word{1000, 1, 0x60190383, 2, 0}; // label 203, SDI 3, SSM 3, even parity
    const CaptureEntry damaged{1000, 1, 0x60190383, 0, 0};
    const struct {
        const char* what;
        std::function<void(WordLogFilter&)> set;
        bool wordKept;
        bool damagedKept;
    } cases[] = {
        {"nothing narrowed", [](WordLogFilter&) {}, true, true},
        {"other channel", [](WordLogFilter& f) { f.setChannels(0b1); }, false, false},
        {"its channel", [](WordLogFilter& f) { f.setChannels(0b10); }, true, false},
        {"other label", [](WordLogFilter& f) { f.setLabels("202"); }, false, false},
        {"SDI 0..2", [](WordLogFilter& f) { f.setSdi(0b0111); }, false, false},
        {"SSM 3", [](WordLogFilter& f) { f.setSsm(0b1000); }, true, true},
        {"odd parity", [](WordLogFilter& f) { f.setParity(ParityFilter::Odd); }, false, false},
        {"even parity", [](WordLogFilter& f) { f.setParity(ParityFilter::Even); }, true, true},
        {"range ends at it", [](WordLogFilter& f) { f.setTimeRange(0, 1000); }, true, true},
        {"range after it", [](WordLogFilter& f) { f.setTimeRange(1001, 5000); }, false, false},
    };
    for (const auto& c : cases) {
        WordLogFilter filter;
        c.set(filter);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(filter.matches(word), c.wordKept);
        EXPECT_EQ(filter.matches(damaged), c.damagedKept);
    }
}

TEST(WordLog, IntervalsPerLabelAndChannelAndAFilterThatKeepsGrowing)
{
    WordLog log;
    WordLogFilter onlyChannel1;
    onlyChannel1.setChannels(0b1);
    log.setFilter(onlyChannel1);
    const CaptureEntry words[] = {
        {100, 1, 0x0083, 1, 0}, {150, 1, 0x0083, 2, 0}, {200, 1, 0x0084, 1, 0},
        {400, 2, 0x0083, 1, 0}, {450, 2, 0x0083, 2, 0}, {90, 3, 0x0083, 1, 0}, // time ran backwards
    };
    for (const CaptureEntry& w : words)
        log.append(w);
    const std::int64_t channel1Intervals[] = {-1, -1, 300, -1};
    ASSERT_EQ(log.rowCount(), std::size(channel1Intervals));
    for (std::size_t r = 0; r < log.rowCount(); ++r)
        EXPECT_EQ(log.row(r).sinceSameLabelUs, channel1Intervals[r]) << r;
    EXPECT_EQ(findNextSameLabel(log, 0), std::optional<std::uint64_t>(2));
    EXPECT_EQ(findNextSameLabel(log, 2), std::optional<std::uint64_t>(3));
    EXPECT_EQ(findNextSameLabel(log, 3), std::nullopt);

    log.setFilter(WordLogFilter{}); // widened: the words it hid come back in order
    ASSERT_EQ(log.rowCount(), 6u);
    EXPECT_EQ(log.row(4).sinceSameLabelUs, 300);
    log.append({500, 4, 0x0084, 2, 0});
    EXPECT_EQ(log.rowCount(), 7u);
    const auto value = [](const CaptureEntry& e) { return e.word == 0x0084 && e.channel == 2; };
    EXPECT_EQ(log.findNext(0, value), std::optional<std::uint64_t>(6));
}

TEST(WordLog, FindsTheNextRowOfTheSameValue)
{
    const WordLogRowText text(*formats(), kStartUnixUs, kZone);
    WordLog log;
    // 12.5 ft, 25 m,s (another format: another value), no format, -12.5 ft, 12.5 ft again
    for (const std::uint32_t word : {0x00190083u, 0x00190083u, 0x00190001u, 0x1FE70083u, 0x00190083u})
        log.append({0, 0, word, static_cast<std::uint8_t>(log.entryCount() == 1 ? 2 : 1), 0});
    const std::optional<std::uint64_t> none;
    const struct {
        std::uint64_t from;
        std::optional<std::uint64_t> next;
    } cases[] = {{0, 4}, {1, none}, {2, none}, {3, none}, {4, none}, {9, none}};
    for (const auto& c : cases)
        EXPECT_EQ(findNextSameValue(log, c.from, text), c.next) << c.from;
}

TEST(WordLog, TheSearchFieldFindsALabelOrAValueAsShown)
{
    const WordLogRowText text(*formats(), kStartUnixUs, kZone);
    WordLog log;
    // label 203 at 12.5 ft, label 001 without a format, label 203 at -12.5 ft, then at 12.5 ft again
    for (const std::uint32_t word : {0x00190083u, 0x00190001u, 0x1FE70083u, 0x00190083u})
        log.append({0, 0, word, 1, 0});
    using Kind = WordLogQuery::Kind;
    const std::optional<std::uint64_t> none;
    const struct {
        Kind kind;
        const char* typed;
        std::optional<std::uint64_t> from; // none: from the first row on
        std::optional<std::uint64_t> next; // none also for a refused text
        bool accepted;
    } cases[] = {
        {Kind::Label, "203", 0, 2, true},   {Kind::Label, "203", none, 0, true}, {Kind::Label, "1", none, 1, true},    {Kind::Label, "001", 1, none, true},
        {Kind::Label, "8", 0, none, false}, {Kind::Label, "400", 0, none, false}, {Kind::Label, "", 0, none, false},
        {Kind::Value, "12,5", 0, 3, true},  {Kind::Value, "-12.5", 0, 2, true}, {Kind::Value, "-12.50", 0, 2, true},
        {Kind::Value, "12.4", 0, none, true}, {Kind::Value, "+12.50", 3, none, true}, {Kind::Value, "12 ft", 0, none, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        WordLogQuery query;
        std::string why;
        ASSERT_EQ(parseWordLogQuery(c.kind, c.typed, query, why), c.accepted);
        EXPECT_EQ(why.empty(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(findNextMatch(log, c.from, query, text), c.next);
        }
    }
}

TEST(WordLog, AFullLogDropsItsOldestWordsFromTheFront)
{
    WordLog big(32); // a sixteenth at a time
    for (std::int64_t t = 0; t < 33; ++t)
        big.append({t, 0, 0x0083u, 1, 0});
    EXPECT_EQ(big.entryCount(), 31u);
    EXPECT_EQ(big.rowsDropped(), 2u);
    EXPECT_EQ(big.row(std::size_t{0}).entry.timeUs, 2);

    WordLog log(4);
    WordLogFilter label203;
    label203.setLabels("203");
    log.setFilter(label203);
    // label 203 on even times, 001 on odd ones
    for (std::int64_t t = 0; t < 7; ++t)
        log.append({t, 0, t % 2 == 0 ? 0x0083u : 0x0001u, 1, 0});
    EXPECT_EQ(log.entryCount(), 4u);
    ASSERT_EQ(log.rowCount(), 2u); // times 4 and 6; 0 and 2 left with their entries
    EXPECT_EQ(log.rowsDropped(), 2u);
    EXPECT_EQ(log.row(std::size_t{0}).entry.timeUs, 4);
    EXPECT_EQ(log.row(std::size_t{1}).sinceSameLabelUs, 2);
    log.setFilter(WordLogFilter{});
    EXPECT_EQ(log.rowsDropped(), 0u);
    ASSERT_EQ(log.rowCount(), 4u);
    EXPECT_EQ(log.row(std::size_t{0}).entry.timeUs, 3);
}

TEST(WordLog, FollowsTheRingAndCountsWhatItOverwrote)
{
    CaptureRing ring(16);
    WordLog log;
    const auto push = [&ring](std::int64_t from, int count) {
        for (int i = 0; i < count; ++i)
            ring.push({from + i, 0, 0x0083, 1, 0});
        ring.publish();
    };
    push(0, 3);
    EXPECT_EQ(log.follow(ring), 3u);
    push(3, 20); // more than the ring holds before the log reads again
    const std::size_t read = log.follow(ring);
    ASSERT_GT(log.lost(), 0u);
    EXPECT_EQ(read + log.lost(), 20u);
    const auto firstKept = static_cast<std::int64_t>(3 + log.lost());
    EXPECT_EQ(log.row(3).entry.timeUs, firstKept);
    EXPECT_EQ(log.row(3).sinceSameLabelUs, firstKept - 2); // from the last word the log saw
    EXPECT_EQ(log.row(log.rowCount() - 1).entry.timeUs, 22);
    push(23, 4); // a limit leaves the rest for the next call
    EXPECT_EQ(log.follow(ring, 3), 3u);
    EXPECT_EQ(log.follow(ring), 1u);
    EXPECT_EQ(log.follow(ring), 0u);
    EXPECT_EQ(log.row(log.rowCount() - 1).entry.timeUs, 26);

    log.clear(); // the words shown are forgotten, the ring followed on
    push(27, 2);
    EXPECT_EQ(log.follow(ring), 2u);
    EXPECT_EQ(log.rowCount(), 2u);
    EXPECT_EQ(log.row(0).entry.timeUs, 27);
    EXPECT_EQ(log.row(0).sinceSameLabelUs, -1);

    CaptureRing another(16); // a new capture: followed from its start
    another.push({40, 0, 0x0083, 1, 0});
    another.publish();
    EXPECT_EQ(log.follow(another), 1u);
    EXPECT_EQ(log.row(2).entry.timeUs, 40);
}

} // namespace
} // namespace telvar5
