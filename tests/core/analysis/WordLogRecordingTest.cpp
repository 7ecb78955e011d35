// A recording read entry by entry on request, in any order, and what it says of damage.
#include <gtest/gtest.h>

#include <vector>

#include "core/analysis/WordLogRecording.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

using Bytes = std::vector<std::uint8_t>;

CaptureEntry entryNo(std::uint32_t n)
{
    return {static_cast<std::int64_t>(n) * 1000, n, 0x80000000u | n, static_cast<std::uint8_t>(1 + n % 8),
            static_cast<std::uint8_t>(n)};
}

// `count` entries of entrySize bytes (a later version's are longer), then `tail` bytes of one more.
Bytes recording(std::uint32_t count, std::uint16_t entrySize, std::size_t tail)
{
    const CaptureHeaderBytes h = encodeCaptureHeader(CaptureHeader{});
    Bytes bytes(h.begin(), h.end());
    bytes[12] = static_cast<std::uint8_t>(entrySize);
    bytes[13] = static_cast<std::uint8_t>(entrySize >> 8);
    for (std::uint32_t n = 0; n <= count; ++n) {
        const CaptureEntryBytes e = encodeCaptureEntry(entryNo(n));
        bytes.insert(bytes.end(), e.begin(), e.end());
        bytes.resize(bytes.size() + entrySize - e.size(), 0xEE);
    }
    bytes.resize(bytes.size() - entrySize + tail);
    return bytes;
}

bool sameEntry(const CaptureEntry& a, const CaptureEntry& b)
{
    return a.timeUs == b.timeUs && a.tick == b.tick && a.word == b.word && a.channel == b.channel && a.cell == b.cell;
}

TEST(WordLogRecording, ReadsAnyEntryInAnyOrder)
{
    test::ScratchDir dir;
    const struct {
        const char* what;
        std::uint16_t entrySize;
        std::size_t tail;
        bool damaged;
    } cases[] = {{"whole", 20, 0, false}, {"longer entries", 28, 0, false}, {"cut short", 20, 7, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeBytes(dir / "r.tlvcap", recording(10'000, c.entrySize, c.tail));
        WordLogRecording file;
        ASSERT_TRUE(file.open(dir / "r.tlvcap"));
        EXPECT_EQ(file.problem().empty(), !c.damaged);
        EXPECT_EQ(file.entryCount(), 10'000u);
        for (const std::uint32_t n : {9999u, 0u, 4096u, 4095u, 5000u}) {
            CaptureEntry e{};
            ASSERT_TRUE(file.entry(n, e)) << n;
            EXPECT_TRUE(sameEntry(e, entryNo(n))) << n;
        }
        CaptureEntry beyond{};
        EXPECT_FALSE(file.entry(10'000, beyond));
    }
    // A header that claims huge entries (damage, or a far later version): the cache stays small.
    test::writeBytes(dir / "huge.tlvcap", recording(3, 65534, 0));
    WordLogRecording huge;
    ASSERT_TRUE(huge.open(dir / "huge.tlvcap"));
    EXPECT_LE(huge.cacheBytes(), WordLogRecording::kCacheBytes + 65534);
    for (const std::uint32_t n : {2u, 0u}) {
        CaptureEntry e{};
        ASSERT_TRUE(huge.entry(n, e));
        EXPECT_TRUE(sameEntry(e, entryNo(n)));
    }
}

TEST(WordLogRecording, SaysWhatIsWrong)
{
    test::ScratchDir dir;
    WordLogRecording file;
    test::writeBytes(dir / "text.tlvcap", Bytes(100, 'x'));
    EXPECT_FALSE(file.open(dir / "text.tlvcap"));
    EXPECT_FALSE(file.problem().empty());
    EXPECT_FALSE(file.open(dir.path()));
    EXPECT_FALSE(file.problem().empty());

    // Cut after it was opened: the entries still there read, the rest are gone and it says so.
    test::writeBytes(dir / "r.tlvcap", recording(10'000, 20, 0));
    ASSERT_TRUE(file.open(dir / "r.tlvcap"));
    std::filesystem::resize_file(dir / "r.tlvcap", kCaptureHeaderSize + 5000 * kCaptureEntrySize + 3);
    CaptureEntry e{};
    EXPECT_FALSE(file.entry(9000, e));
    EXPECT_EQ(file.entryCount(), 5000u);
    EXPECT_FALSE(file.problem().empty());
    EXPECT_TRUE(file.entry(4999, e));
    EXPECT_TRUE(sameEntry(e, entryNo(4999)));
}

} // namespace
} // namespace telvar5
