// The trigger follows the capture ring: words before its arming do not count,
// values come through the channel's formats, and the entry that met it is named.
#include <gtest/gtest.h>

#include "core/analysis/TriggerWatch.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

constexpr std::uint32_t kBit28 = 1u << 27, kBit27 = 1u << 26;

TEST(TriggerWatchTest, FeedsTheRingsNewWordsWithTheirValuesThroughTheFormats)
{
    FormatTables formats;
    formats.formatTable[0] = test::makeFormat("ALT", 0, 28, 17, 1024.0f, "ft");
    formats.formatCount = 1;
    formats.paramFormatTable[0] = test::makeParam(0203, 1, "ALT");
    formats.paramFormatCount = 1;
    CaptureRing ring(64);
    const auto push = [&](std::int64_t t, std::uint8_t channel, std::uint32_t word) {
        ring.push({t, 0, word, channel, 0});
        ring.publish();
    };
    push(1, 1, 0203 | kBit27); // 512 ft, before the arming

    RecordingCondition cross;
    cross.kind = ConditionKind::ValueCrosses;
    cross.channel = 1;
    cross.label = 0203;
    cross.threshold = 1000;
    TriggerWatch watch(ring, formats, cross, 2);
    push(3, 1, 0203 | kBit28); // 1024 ft: nothing before it to cross from
    EXPECT_FALSE(watch.poll(3));
    push(4, 1, 0203 | kBit27);                     // 512 ft: crosses down
    push(5, 2, 0203 | kBit28);                     // another channel
    EXPECT_TRUE(watch.poll(5));
    EXPECT_EQ(watch.metEntry(), 2u);
    EXPECT_EQ(watch.trigger().metAtUs(), 4);
    EXPECT_FALSE(watch.poll(6)) << "met once";

    RecordingCondition absent = cross;
    absent.kind = ConditionKind::LabelAbsent;
    absent.absentUs = 100;
    TriggerWatch gap(ring, formats, absent, 10);
    EXPECT_FALSE(gap.poll(110));
    EXPECT_TRUE(gap.poll(111));
    EXPECT_EQ(gap.metEntry(), ring.head());
}

} // namespace
} // namespace telvar5
