#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/analysis/CaptureRing.h"

namespace telvar5 {
namespace {

CaptureEntry entryNo(std::uint64_t n)
{
    return {static_cast<std::int64_t>(n * 10), static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n * 7), 1,
            static_cast<std::uint8_t>(n)};
}

TEST(CaptureRing, ReadersSeeOnlyPublishedEntriesAndSkipWhatTheRingOverwrote)
{
    CaptureRing ring(16); // publishes by itself every 4 entries
    std::vector<CaptureEntry> out(32);
    for (std::uint64_t n = 0; n < 3; ++n)
        ring.push(entryNo(n));
    EXPECT_EQ(ring.copy(0, out).count, 0u) << "nothing is visible before the tick publishes";
    ring.publish();
    CaptureRange got = ring.copy(1, out);
    ASSERT_EQ(got.first, 1u);
    ASSERT_EQ(got.count, 2u);
    EXPECT_EQ(out[1].word, 14u);

    for (std::uint64_t n = 3; n < 40; ++n)
        ring.push(entryNo(n));
    ring.publish();
    EXPECT_EQ(ring.oldest(), 24u);
    got = ring.copy(5, out);
    // Entries the next unpublished pushes may overwrite are left out too.
    EXPECT_EQ(got.first, 28u);
    EXPECT_EQ(got.count, 12u);
    for (std::size_t i = 0; i < got.count; ++i)
        EXPECT_EQ(out[i].tick, got.first + i);
}

TEST(CaptureRing, FindsTheFirstEntryHeldSinceATime)
{
    CaptureRing ring(16);
    for (std::uint64_t n = 0; n < 40; ++n) {
        CaptureEntry e = entryNo(n);
        e.timeUs = static_cast<std::int64_t>(n / 2 * 10); // two entries share each time
        ring.push(e);
    }
    ring.publish();
    ASSERT_EQ(ring.oldest(), 24u); // time 120
    const struct {
        std::int64_t timeUs;
        std::uint64_t first;
    } cases[] = {{-5, 24}, {0, 24}, {120, 24}, {121, 26}, {130, 26}, {190, 38}, {191, 40}, {1000, 40}};
    for (const auto& c : cases)
        EXPECT_EQ(ring.firstSince(c.timeUs), c.first) << c.timeUs;
}

TEST(CaptureRing, AReaderOnAnotherThreadGetsEveryEntryInOrderWhileItKeepsUp)
{
    CaptureRing ring(1 << 12);
    constexpr std::uint64_t kTotal = 200000;
    std::thread producer([&] {
        for (std::uint64_t n = 0; n < kTotal; ++n) {
            ring.push(entryNo(n));
            if (n % 100 == 99) {
                ring.publish();
                std::this_thread::yield();
            }
        }
        ring.publish();
    });
    std::vector<CaptureEntry> out(512);
    std::uint64_t next = 0;
    std::uint64_t lost = 0;
    std::uint64_t read = 0;
    while (next < kTotal) {
        const CaptureRange got = ring.copy(next, out);
        lost += got.first - next;
        read += got.count;
        for (std::size_t i = 0; i < got.count; ++i)
            ASSERT_EQ(out[i].word, static_cast<std::uint32_t>((got.first + i) * 7));
        next = got.first + got.count;
    }
    producer.join();
    // A slow reader may lose entries, but never reads a torn, repeated or out-of-order one.
    EXPECT_EQ(read + lost, kTotal);
    EXPECT_GT(read, 0u);
}

} // namespace
} // namespace telvar5
