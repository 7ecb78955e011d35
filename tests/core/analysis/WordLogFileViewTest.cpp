// A recording shown as the log's rows: the same rows and intervals as the live
// log given the same words, whatever the filter and however far the scan has
// gone, and a damaged or shrinking file read without failing.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "core/analysis/WordLog.h"
#include "core/analysis/WordLogFileView.h"
#include "core/analysis/WordLogRowText.h"
#include "formats/ArincWord.h"
#include "formats/FormatTestSupport.h"

namespace telvar5 {
namespace {

constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();

// 32 labels on eight channels in a scattered order, label 377 on channel 1
// seldom (its intervals span checkpoints), a damaged channel 9 now and then,
// and a time that runs back now and then.
CaptureEntry wordNo(std::uint32_t n)
{
    const std::uint32_t mix = n * 2654435761u;
    const bool seldom = n % 6007 == 6006;
    const auto channel = static_cast<std::uint8_t>(seldom ? 1 : n % 97 == 0 ? 9 : 1 + mix % 8);
    const std::uint32_t label = seldom ? 0377 : mix >> 24 & 0x1Fu;
    const std::int64_t timeUs = std::int64_t{n} * 100 - (n % 1000 == 999 ? 5000 : 0);
    return {timeUs, n, (mix & 0xFFFFFF00u) | label, channel, static_cast<std::uint8_t>(n)};
}

// `count` entries, then `tail` bytes of one more.
void writeRecording(const std::filesystem::path& file, std::uint32_t count, std::size_t tail = 0)
{
    const CaptureHeaderBytes h = encodeCaptureHeader(CaptureHeader{});
    std::vector<std::uint8_t> bytes(h.begin(), h.end());
    for (std::uint32_t n = 0; n < count; ++n) {
        const CaptureEntryBytes e = encodeCaptureEntry(wordNo(n));
        bytes.insert(bytes.end(), e.begin(), e.end());
    }
    bytes.insert(bytes.end(), tail, 0x55);
    test::writeBytes(file, bytes);
}

bool sameEntry(const CaptureEntry& a, const CaptureEntry& b)
{
    return a.timeUs == b.timeUs && a.tick == b.tick && a.word == b.word && a.channel == b.channel && a.cell == b.cell;
}

WordLogFilter labelsFilter(const char* labels)
{
    WordLogFilter f;
    f.setLabels(labels);
    return f;
}

WordLogFilter channelAndParityFilter()
{
    WordLogFilter f;
    f.setChannels(0b100);
    f.setParity(ParityFilter::Odd);
    return f;
}

WordLogFilter timeFilter()
{
    WordLogFilter f;
    f.setTimeRange(400'000, 1'200'000);
    return f;
}

enum class Scan { Whole, Slices, SlicesAfterNewFilter };

TEST(WordLogFileView, RowsAndIntervalsAreTheLiveLogs)
{
    constexpr std::uint32_t kEntries = 20'000; // five blocks, checkpoints at 5000, 10000 and 15000
    test::ScratchDir dir;
    writeRecording(dir / "r.tlvcap", kEntries);
    const WordLogRowText text(FormatTables{}, 0);
    const struct {
        const char* what;
        WordLogFilter filter;
    } filters[] = {{"every word", WordLogFilter{}},
                   {"labels 010..017", labelsFilter("01")},
                   {"channel 3, odd parity", channelAndParityFilter()},
                   {"a time range", timeFilter()},
                   {"no label", labelsFilter("8")}};
    for (const auto& f : filters) {
        WordLog log;
        log.setFilter(f.filter);
        std::vector<std::uint32_t> kept; // the entries the filter keeps
        for (std::uint32_t n = 0; n < kEntries; ++n) {
            log.append(wordNo(n));
            if (f.filter.matches(wordNo(n)))
                kept.push_back(n);
        }
        ASSERT_EQ(log.rowCount(), kept.size());
        const bool everyWord = f.filter.keepsEverything();
        for (const Scan scan : {Scan::Whole, Scan::Slices, Scan::SlicesAfterNewFilter}) {
            SCOPED_TRACE(testing::Message() << f.what << ", scan " << static_cast<int>(scan));
            const auto expectRow = [&](WordLogFileView& view, std::uint64_t r, bool mayBeUnknown) {
                WordLogEntry got{};
                if (!view.row(r, got)) {
                    ADD_FAILURE() << "row " << r << " not read";
                    return false;
                }
                const WordLogEntry& want = log.row(static_cast<std::size_t>(r));
                EXPECT_TRUE(sameEntry(got.entry, want.entry)) << r;
                if (got.sinceSameLabelUs == kIntervalUnknown && mayBeUnknown)
                    EXPECT_EQ(text.row(got).sinceSameLabel, "…");
                else
                    EXPECT_EQ(got.sinceSameLabelUs, want.sinceSameLabelUs) << r;
                return got.sinceSameLabelUs == kIntervalUnknown;
            };

            WordLogFileView view(5000);
            view.setFilter(scan == Scan::SlicesAfterNewFilter ? WordLogFilter{} : f.filter);
            ASSERT_TRUE(view.open(dir / "r.tlvcap"));
            EXPECT_TRUE(view.problem().empty());
            if (scan == Scan::SlicesAfterNewFilter) {
                EXPECT_EQ(view.advance(kAll), kEntries);
                view.setFilter(f.filter);
            }
            EXPECT_EQ(view.rowCount(), everyWord ? kEntries : 0u); // every word: all rows at once
            if (scan == Scan::Whole) {
                EXPECT_EQ(view.advance(kAll), kEntries);
            } else {
                bool unknownSeen = false;
                while (!view.scanComplete()) {
                    const std::uint64_t before = view.scanned();
                    ASSERT_EQ(view.advance(777), std::min<std::uint64_t>(777, kEntries - before));
                    const std::uint64_t rows = everyWord
                        ? kEntries
                        : static_cast<std::uint64_t>(std::lower_bound(kept.begin(), kept.end(), view.scanned())
                                                     - kept.begin());
                    ASSERT_EQ(view.rowCount(), rows);
                    // Only rows the count did not have to pass can lack their interval; the checkpoints outlive a filter.
                    const bool mayBeUnknown = everyWord && scan == Scan::Slices;
                    for (const std::uint64_t r : {rows / 2, rows - 1})
                        if (r < rows)
                            unknownSeen |= expectRow(view, r, mayBeUnknown);
                }
                EXPECT_EQ(unknownSeen, everyWord && scan == Scan::Slices);
            }
            ASSERT_TRUE(view.scanComplete());
            ASSERT_EQ(view.rowCount(), kept.size());
            // Backward (each block from its checkpoint), then forward (each block from the one before).
            for (std::uint64_t r = kept.size(); r-- > 0;)
                expectRow(view, r, false);
            for (std::uint64_t r = 0; r < kept.size(); ++r)
                expectRow(view, r, false);
            WordLogEntry beyond{};
            EXPECT_FALSE(view.row(kept.size(), beyond));

            const auto wanted = [](const CaptureEntry& e) { return e.channel == 2 && wordLabel(e.word) == 5; };
            for (const std::uint64_t from : std::initializer_list<std::uint64_t>{
                     0, kept.size() / 3, kept.size() - 2, kept.size() - 1, kept.size() + 5})
                EXPECT_EQ(view.findNext(from, wanted), log.findNext(from, wanted)) << from;
        }
    }
}

TEST(WordLogFileView, CutFileShowsItsWholeEntries)
{
    test::ScratchDir dir;
    writeRecording(dir / "r.tlvcap", 10'000, 7);
    WordLogFileView view(4096);
    ASSERT_TRUE(view.open(dir / "r.tlvcap"));
    EXPECT_FALSE(view.problem().empty());
    EXPECT_EQ(view.entryCount(), 10'000u);
    EXPECT_EQ(view.advance(kAll), 10'000u);
    WordLogEntry last{};
    ASSERT_TRUE(view.row(9'999, last));
    EXPECT_TRUE(sameEntry(last.entry, wordNo(9'999)));

    WordLogFileView notCapture;
    test::writeBytes(dir / "text.tlvcap", std::vector<std::uint8_t>(100, 'x'));
    EXPECT_FALSE(notCapture.open(dir / "text.tlvcap"));
    EXPECT_FALSE(notCapture.problem().empty());
    EXPECT_EQ(notCapture.rowCount(), 0u);
    EXPECT_EQ(notCapture.advance(kAll), 0u);
    EXPECT_TRUE(notCapture.scanComplete());
}

TEST(WordLogFileView, FileShrunkAfterOpeningReadsWhatIsLeft)
{
    const struct {
        const char* what;
        std::uint64_t scannedBefore;
        WordLogFilter filter;
    } cases[] = {{"scanned, every word", kAll, WordLogFilter{}},
                 {"scanned, labels 010..017", kAll, labelsFilter("01")},
                 {"mid-scan, every word", 3'000, WordLogFilter{}},
                 {"mid-scan, labels 010..017", 3'000, labelsFilter("01")}};
    test::ScratchDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeRecording(dir / "r.tlvcap", 20'000);
        WordLogFileView view(4096);
        view.setFilter(c.filter);
        ASSERT_TRUE(view.open(dir / "r.tlvcap"));
        view.advance(c.scannedBefore);
        const std::uint64_t rowsBefore = view.rowCount();
        std::filesystem::resize_file(dir / "r.tlvcap", kCaptureHeaderSize + 5'000 * kCaptureEntrySize + 3);

        view.advance(kAll);
        EXPECT_TRUE(view.scanComplete());
        std::uint32_t lastLeft = 0; // the last entry kept before the cut
        const auto rowsOf = [&](std::uint32_t entries) {
            std::uint64_t rows = 0;
            for (std::uint32_t n = 0; n < entries; ++n)
                if (c.filter.matches(wordNo(n))) {
                    ++rows;
                    lastLeft = n < 5'000 ? n : lastLeft;
                }
            return rows;
        };
        const std::uint64_t rowsLeft = rowsOf(5'000);
        // Rows are never taken back; a count that had not reached the cut ends there.
        const std::uint64_t rows = c.filter.keepsEverything() || c.scannedBefore == kAll ? rowsOf(20'000) : rowsLeft;
        EXPECT_GE(rows, rowsBefore);
        ASSERT_EQ(view.rowCount(), rows);
        WordLogEntry e{};
        ASSERT_TRUE(view.row(rowsLeft - 1, e));
        EXPECT_TRUE(sameEntry(e.entry, wordNo(lastLeft)));
        EXPECT_FALSE(view.problem().empty());
        if (rows > rowsLeft) {
            EXPECT_FALSE(view.row(rows - 1, e));
        }
        EXPECT_EQ(view.findNext(rowsLeft - 1, [](const CaptureEntry&) { return true; }), std::nullopt);
    }
}

} // namespace
} // namespace telvar5
