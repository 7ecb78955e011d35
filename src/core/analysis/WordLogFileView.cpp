#include "core/analysis/WordLogFileView.h"

#include <algorithm>
#include <new>

#include "formats/ArincWord.h"

namespace telvar5 {

namespace {

// Records the word in `last` and returns its interval, as the live log gives
// it: -1 for a label's first word on its channel, for a channel a damaged
// file names outside 1..8 and for a time running backwards.
template <std::size_t N>
std::int64_t stepInterval(std::array<std::int64_t, N>& last, const CaptureEntry& e)
{
    if (e.channel < 1 || e.channel > N / 256)
        return -1;
    std::int64_t& previous = last[(e.channel - 1u) * 256u + wordLabel(e.word)];
    const std::int64_t interval = previous >= 0 && e.timeUs >= previous ? e.timeUs - previous : -1;
    previous = e.timeUs;
    return interval;
}

} // namespace

WordLogFileView::WordLogFileView(std::uint64_t checkpointSpacing)
    : checkpointSpacing_(std::max<std::uint64_t>(checkpointSpacing, 1))
{
}

bool WordLogFileView::open(const std::filesystem::path& file)
{
    const bool opened = file_.open(file);
    entries_ = opened ? file_.entryCount() : 0;
    scanEnd_ = entries_;
    checkpointed_ = 0;
    scanLast_.fill(-1);
    checkpoints_.clear();
    checkpointsFull_ = false;
    setFilter(filter_);
    return opened;
}

void WordLogFileView::forgetCaches()
{
    rowsBlock_ = kNoBlock;
    intervalBlock_ = kNoBlock;
}

void WordLogFileView::setFilter(const WordLogFilter& filter)
{
    filter_ = filter;
    keepsEverything_ = filter_.keepsEverything();
    counted_ = keepsEverything_ ? entries_ : 0;
    rowsTo_.clear();
    rowsInPartBlock_ = 0;
    forgetCaches();
}

std::uint64_t WordLogFileView::rowCount() const
{
    if (keepsEverything_)
        return entries_;
    return (rowsTo_.empty() ? 0 : rowsTo_.back()) + rowsInPartBlock_;
}

void WordLogFileView::countOne(const CaptureEntry& e)
{
    if (filter_.matches(e))
        ++rowsInPartBlock_;
    if (++counted_ % kBlockEntries == 0) {
        rowsTo_.push_back((rowsTo_.empty() ? 0 : rowsTo_.back()) + rowsInPartBlock_);
        rowsInPartBlock_ = 0;
    }
}

void WordLogFileView::checkpointOne(const CaptureEntry& e)
{
    if (checkpointed_ > 0 && checkpointed_ % checkpointSpacing_ == 0 && !checkpointsFull_) {
        try {
            checkpoints_.push_back(scanLast_);
        } catch (const std::bad_alloc&) {
            checkpointsFull_ = true; // the intervals beyond stay unknown rather than the program failing
        }
    }
    stepInterval(scanLast_, e);
    ++checkpointed_;
}

std::uint64_t WordLogFileView::advance(std::uint64_t maxEntries)
{
    std::uint64_t done = 0;
    CaptureEntry e{};
    while (done < maxEntries && !scanComplete()) {
        // After a new filter the count starts again behind the checkpoints: one read serves whichever needs it.
        const std::uint64_t at = scanned();
        if (!file_.entry(at, e)) {
            scanEnd_ = at; // the file shrank: the scan ends where it does
            break;
        }
        if (at == counted_)
            countOne(e);
        if (at == checkpointed_)
            checkpointOne(e);
        ++done;
    }
    return done;
}

bool WordLogFileView::entryOfRow(std::uint64_t row, std::uint64_t& entry)
{
    if (keepsEverything_) {
        entry = row;
        return true;
    }
    // The first block whose count reaches past the row; the block being counted when none does.
    const auto found = std::upper_bound(rowsTo_.begin(), rowsTo_.end(), row);
    const auto block = static_cast<std::uint64_t>(found - rowsTo_.begin());
    const std::uint64_t rowsBefore = block == 0 ? 0 : rowsTo_[block - 1];
    if (block != rowsBlock_) {
        rowsBlock_ = kNoBlock;
        rowsInBlock_.clear();
        const std::uint64_t first = block * kBlockEntries;
        const std::uint64_t end = std::min(first + kBlockEntries, entries_);
        CaptureEntry e{};
        // A file cut inside the block still gives the rows before the cut.
        for (std::uint64_t n = first; n < end && file_.entry(n, e); ++n) {
            if (filter_.matches(e))
                rowsInBlock_.push_back(static_cast<std::uint16_t>(n - first));
        }
        rowsBlock_ = block;
    }
    // Past the list only when the file shrank since it was counted.
    if (row - rowsBefore >= rowsInBlock_.size())
        return false;
    entry = block * kBlockEntries + rowsInBlock_[row - rowsBefore];
    return true;
}

bool WordLogFileView::computeIntervals(std::uint64_t block, LastTimes& last)
{
    const std::uint64_t first = block * kBlockEntries;
    const std::uint64_t end = std::min(first + kBlockEntries, entries_);
    intervals_.resize(kBlockEntries);
    intervalBlock_ = block;
    intervalsKnown_ = 0;
    CaptureEntry e{};
    for (std::uint64_t n = first; n < end; ++n) {
        if (!file_.entry(n, e))
            break;
        intervals_[n - first] = stepInterval(last, e);
        ++intervalsKnown_;
    }
    intervalLast_ = last;
    return intervalsKnown_ == end - first;
}

bool WordLogFileView::intervalOf(std::uint64_t number, std::int64_t& interval)
{
    const std::uint64_t block = number / kBlockEntries;
    if (block != intervalBlock_) {
        if (intervalBlock_ != kNoBlock && block == intervalBlock_ + 1 && intervalsKnown_ == kBlockEntries) {
            LastTimes last = intervalLast_;
            computeIntervals(block, last);
        } else {
            const std::uint64_t first = block * kBlockEntries;
            const std::uint64_t checkpoint = first / checkpointSpacing_;
            if (checkpoint > checkpoints_.size()) {
                interval = kIntervalUnknown;
                return true;
            }
            LastTimes last;
            if (checkpoint == 0)
                last.fill(-1);
            else
                last = checkpoints_[checkpoint - 1];
            CaptureEntry e{};
            for (std::uint64_t n = checkpoint * checkpointSpacing_; n < first; ++n) {
                if (!file_.entry(n, e))
                    return false;
                stepInterval(last, e);
            }
            computeIntervals(block, last);
        }
    }
    const std::uint64_t index = number - block * kBlockEntries;
    if (index >= intervalsKnown_)
        return false;
    interval = intervals_[index];
    return true;
}

bool WordLogFileView::row(std::uint64_t row, WordLogEntry& out)
{
    std::uint64_t number = 0;
    if (row >= rowCount() || !entryOfRow(row, number))
        return false;
    WordLogEntry got{};
    if (!file_.entry(number, got.entry) || !intervalOf(number, got.sinceSameLabelUs))
        return false;
    out = got;
    return true;
}

std::optional<std::uint64_t> WordLogFileView::findNext(std::uint64_t fromRow,
                                                       const std::function<bool(const CaptureEntry&)>& wanted)
{
    const std::uint64_t rows = rowCount();
    if (rows == 0 || fromRow >= rows - 1)
        return std::nullopt;
    const std::uint64_t from = fromRow + 1;
    CaptureEntry e{};
    if (keepsEverything_) {
        for (std::uint64_t n = from; n < rows; ++n) {
            if (!file_.entry(n, e))
                return std::nullopt;
            if (wanted(e))
                return n;
        }
        return std::nullopt;
    }
    // From the start of the block holding row `from`, counting rows as the scan did.
    const auto block = static_cast<std::uint64_t>(std::upper_bound(rowsTo_.begin(), rowsTo_.end(), from) - rowsTo_.begin());
    std::uint64_t row = block == 0 ? 0 : rowsTo_[block - 1];
    for (std::uint64_t n = block * kBlockEntries; n < entries_ && row < rows; ++n) {
        if (!file_.entry(n, e))
            return std::nullopt;
        if (!filter_.matches(e))
            continue;
        if (row >= from && wanted(e))
            return row;
        ++row;
    }
    return std::nullopt;
}

} // namespace telvar5
