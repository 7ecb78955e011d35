#pragma once
// A recording shown as the sequential log's rows without reading it whole:
// memory stays the same for a short file and for one larger than memory. A
// background scan, run in slices by the window, counts the filter's rows per
// block of entries and stores, every checkpointSpacing entries, the last time
// of every label on every channel; a row is then found by a binary search over
// the block counts, and its interval by scanning forward from the checkpoint
// before it. Until the scan has counted them, a narrow filter's rows grow as
// the scan goes; with a filter that keeps every word, all rows are there at once.
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/analysis/WordLogRecording.h"
#include "core/analysis/WordLogRows.h"

namespace telvar5 {

class WordLogFileView : public WordLogRows {
public:
    static constexpr std::uint64_t kBlockEntries = WordLogRecording::kBlockEntries;
    static constexpr std::uint64_t kDefaultCheckpointSpacing = std::uint64_t{1} << 18;

    // A smaller spacing makes intervals cheaper to find and checkpoints more numerous (16 KB each).
    explicit WordLogFileView(std::uint64_t checkpointSpacing = kDefaultCheckpointSpacing);

    // As WordLogRecording::open: false, with problem() saying why, when the
    // file is no capture this program reads; a damaged file opens with its
    // whole entries and problem() says what is wrong. The filter is kept.
    bool open(const std::filesystem::path& file);
    const std::string& problem() const { return file_.problem(); }
    const CaptureHeader& header() const { return file_.header(); }
    // Entries the file held when it was opened.
    std::uint64_t entryCount() const { return entries_; }
    std::int64_t startUnixUs() const override { return file_.header().startUnixUs; }

    // Scans up to maxEntries more entries; returns how many it scanned.
    std::uint64_t advance(std::uint64_t maxEntries);
    bool scanComplete() const { return scanned() >= scanEnd_; }
    // Entries behind the scan: those the filter's count and the checkpoints both cover.
    std::uint64_t scanned() const { return counted_ < checkpointed_ ? counted_ : checkpointed_; }

    // Restarts the count of rows (the checkpoints stay).
    void setFilter(const WordLogFilter& filter) override;
    const WordLogFilter& filter() const override { return filter_; }

    std::uint64_t rowCount() const override;
    // The interval is kIntervalUnknown while the scan has not reached the checkpoint before the row.
    bool row(std::uint64_t row, WordLogEntry& out) override;
    // Reads the file on from fromRow: on a long recording it takes a while.
    std::optional<std::uint64_t> findNext(std::uint64_t fromRow,
                                          const std::function<bool(const CaptureEntry&)>& wanted) override;

private:
    static constexpr std::size_t kChannels = 8;
    // The last time of each label on each channel (channel-major), -1 before its first word.
    using LastTimes = std::array<std::int64_t, kChannels * 256>;
    static constexpr std::uint64_t kNoBlock = ~std::uint64_t{0};

    void countOne(const CaptureEntry& e);
    void checkpointOne(const CaptureEntry& e);
    // Where row `row` lies: the entry's number, false when it cannot be read.
    bool entryOfRow(std::uint64_t row, std::uint64_t& entry);
    // The interval of entry `number`: false when the file no longer holds what it needs.
    bool intervalOf(std::uint64_t number, std::int64_t& interval);
    bool computeIntervals(std::uint64_t block, LastTimes& last);
    void forgetCaches();

    WordLogRecording file_;
    std::uint64_t checkpointSpacing_;
    std::uint64_t entries_ = 0;
    std::uint64_t scanEnd_ = 0; // below entries_ once the file was found shrunk

    WordLogFilter filter_;
    bool keepsEverything_ = true;
    std::uint64_t counted_ = 0;          // entries the filter's count has passed
    std::vector<std::uint64_t> rowsTo_;  // rows in blocks 0..b, for each whole block b counted
    std::uint64_t rowsInPartBlock_ = 0;  // rows of the block being counted

    std::uint64_t checkpointed_ = 0;     // entries the checkpoint scan has passed
    LastTimes scanLast_{};               // its last times so far
    std::vector<LastTimes> checkpoints_; // checkpoint k + 1 holds the last times before entry (k + 1) * spacing
    bool checkpointsFull_ = false;       // memory ran out: no more are stored

    // The rows of the block last looked up: the in-block numbers of its entries the filter keeps.
    std::uint64_t rowsBlock_ = kNoBlock;
    std::vector<std::uint16_t> rowsInBlock_;
    // The intervals of the block last computed, and the last times after it,
    // so that neighbouring rows and the next block need no scan from a checkpoint.
    std::uint64_t intervalBlock_ = kNoBlock;
    std::vector<std::int64_t> intervals_;
    std::uint64_t intervalsKnown_ = 0; // entries of that block the file still held
    LastTimes intervalLast_{};
};

} // namespace telvar5
