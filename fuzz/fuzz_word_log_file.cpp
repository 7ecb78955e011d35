// A recording as any bytes, shown as the word log's rows: the view counts no
// more rows than entries, every row it reads is one its filter keeps, an
// interval is a time, none (-1) or not yet known (-2), and once scanned the
// rows, their intervals and findNext are those of the live log fed the same
// entries. The filter, the scan's slice and the checkpoint spacing come from
// header fields the reader does not judge (serial number, refresh period, reserved bytes).
#include <cstring>

#include "FuzzCheck.h"
#include "MemoryFile.h"
#include "core/analysis/CaptureFile.h"
#include "core/analysis/WordLog.h"
#include "core/analysis/WordLogFileView.h"
#include "formats/ArincWord.h"

using namespace telvar5;

namespace {

struct Setup {
    WordLogFilter filter;
    std::uint64_t slice = 1;
    std::uint64_t checkpointSpacing = 8;
};

Setup setupOf(const std::uint8_t* data, std::size_t size)
{
    Setup s;
    if (size < kCaptureHeaderSize)
        return s;
    const std::uint8_t* b = data + 16; // serial number
    const std::uint8_t* c = data + 36; // refresh period
    s.filter.setChannels(b[0]);
    std::bitset<256> labels;
    for (unsigned label = 0; label < 256; ++label)
        labels[label] = ((label ^ b[1]) & b[2]) == 0;
    s.filter.setLabels(labels);
    s.filter.setSdi(b[3] & 0xFu);
    s.filter.setSsm(b[3] >> 4);
    s.filter.setParity(static_cast<ParityFilter>(c[0] % 3));
    if (c[1] & 1) {
        const std::int64_t fromUs = static_cast<std::int8_t>(c[2]) * std::int64_t{1000};
        s.filter.setTimeRange(fromUs, fromUs + c[3] * std::int64_t{10000});
    }
    s.slice = 1 + (c[1] >> 1);
    s.checkpointSpacing = 8 + data[48] % 64;
    return s;
}

bool sameEntry(const CaptureEntry& a, const CaptureEntry& b)
{
    return a.timeUs == b.timeUs && a.tick == b.tick && a.word == b.word && a.channel == b.channel && a.cell == b.cell;
}

// Row `r` as the view reads it before the scan ends: a word the filter keeps,
// the live log's own, with its interval or none known yet.
void checkRow(WordLogFileView& view, WordLog& log, std::uint64_t r)
{
    WordLogEntry got{};
    FUZZ_CHECK(view.row(r, got)); // the file does not change under the view
    FUZZ_CHECK(view.filter().matches(got.entry));
    FUZZ_CHECK(got.sinceSameLabelUs >= kIntervalUnknown);
    const WordLogEntry& want = log.row(static_cast<std::size_t>(r));
    FUZZ_CHECK(sameEntry(got.entry, want.entry));
    FUZZ_CHECK(got.sinceSameLabelUs == want.sinceSameLabelUs || got.sinceSameLabelUs == kIntervalUnknown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static MemoryFile file;
    file.assign(data, size);
    const CaptureFileContents contents = parseCapture(std::span(data, size));
    const Setup setup = setupOf(data, size);

    WordLogFileView view(setup.checkpointSpacing);
    view.setFilter(setup.filter);
    const bool opened = view.open(file.path());
    FUZZ_CHECK(opened == contents.headerValid);
    FUZZ_CHECK(view.entryCount() == contents.entries.size());
    FUZZ_CHECK(view.problem().empty() == contents.problem.empty());
    FUZZ_CHECK(view.rowCount() == (setup.filter.keepsEverything() ? view.entryCount() : 0));

    WordLog log;
    log.setFilter(setup.filter);
    for (const CaptureEntry& e : contents.entries)
        log.append(e);

    // The scan in slices, reading the first, last and a middle row after each.
    std::uint64_t slices = 0;
    while (!view.scanComplete()) {
        const std::uint64_t before = view.scanned();
        const std::uint64_t done = view.advance(setup.slice);
        FUZZ_CHECK(done >= 1 && done <= setup.slice && view.scanned() == before + done);
        FUZZ_CHECK(++slices <= view.entryCount());
        const std::uint64_t rows = view.rowCount();
        FUZZ_CHECK(rows <= view.entryCount() && rows <= log.rowCount());
        for (const std::uint64_t r : {std::uint64_t{0}, rows / 2, rows - 1})
            if (r < rows)
                checkRow(view, log, r);
    }
    FUZZ_CHECK(view.scanned() == view.entryCount());
    FUZZ_CHECK(view.advance(setup.slice) == 0);

    // Scanned: every row and interval is the live log's.
    FUZZ_CHECK(view.rowCount() == log.rowCount());
    for (std::uint64_t r = view.rowCount(); r-- > 0;) {
        WordLogEntry got{};
        FUZZ_CHECK(view.row(r, got));
        FUZZ_CHECK(got.sinceSameLabelUs == log.row(static_cast<std::size_t>(r)).sinceSameLabelUs);
    }
    WordLogEntry beyond{};
    FUZZ_CHECK(!view.row(view.rowCount(), beyond));

    const std::uint32_t wantedLabel = size > 50 ? data[50] : 0;
    const auto wanted = [wantedLabel](const CaptureEntry& e) { return wordLabel(e.word) == wantedLabel; };
    for (const std::uint64_t from : {std::uint64_t{0}, view.rowCount() / 3, view.rowCount()})
        FUZZ_CHECK(view.findNext(from, wanted) == log.findNext(from, wanted));
    FUZZ_CHECK(!view.findNext(~std::uint64_t{0}, wanted));

    // A new filter restarts the count but keeps the checkpoints: no interval is unknown.
    view.setFilter(WordLogFilter{});
    for (std::uint64_t r = 0; r < view.rowCount(); ++r) {
        WordLogEntry got{};
        FUZZ_CHECK(view.row(r, got) && got.sinceSameLabelUs != kIntervalUnknown);
    }
    return 0;
}
