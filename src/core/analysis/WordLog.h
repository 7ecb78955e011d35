#pragma once
// The sequential log of captured words: every word in arrival order with the
// time since its label's previous word on the same channel, and an index of
// the rows the filter keeps. Words are appended as they come (from the
// capture ring while live): the index grows with them and is rebuilt only
// when the filter changes. It keeps at most capacity() words: when full, the
// oldest sixteenth leaves from the front at once (a view removes rows from its
// front at a cost that grows with all it holds, so it does so rarely, not on
// every tick), and rowsDropped() tells the window how many rows went.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "core/analysis/CaptureRing.h"
#include "core/analysis/WordLogRows.h"

namespace telvar5 {

// About two million words: 80 MB, minutes of eight busy inputs, hours of a quiet bus.
inline constexpr std::size_t kDefaultWordLogCapacity = std::size_t{1} << 21;

class WordLog : public WordLogRows {
public:
    explicit WordLog(std::size_t capacity = kDefaultWordLogCapacity);

    std::size_t capacity() const { return capacity_; }
    void setStartUnixUs(std::int64_t startUnixUs) { startUnixUs_ = startUnixUs; }
    std::int64_t startUnixUs() const override { return startUnixUs_; }

    // Appends one word in arrival order (the oldest leaves when the log is full).
    void append(const CaptureEntry& entry);
    // Appends the ring's words published since the last call (on the first:
    // all it holds), at most `limit` of them (the rest wait for the next
    // call); returns how many were appended. Words the ring overwrote before
    // they were read are counted in lost().
    std::size_t follow(const CaptureRing& ring, std::size_t limit = std::size_t{1} << 16);
    std::uint64_t lost() const { return lost_; }
    // Forgets every word shown so far; a ring being followed is followed on
    // from the first word not yet read.
    void clear();

    void setFilter(const WordLogFilter& filter) override;
    const WordLogFilter& filter() const override { return filter_; }

    std::size_t entryCount() const { return entries_.size(); }
    // Rows the filter keeps, and the word of each.
    std::uint64_t rowCount() const override { return rows_.size(); }
    bool row(std::uint64_t row, WordLogEntry& out) override;
    const WordLogEntry& row(std::size_t row) const { return entries_[rows_[row] - firstEntry_]; }
    // Rows that left the front since the filter was last set (the log was full).
    std::uint64_t rowsDropped() const { return rowsDropped_; }
    // Words that left the front since the log was cleared.
    std::uint64_t wordsDropped() const { return wordsDropped_; }

    std::optional<std::uint64_t> findNext(std::uint64_t fromRow,
                                          const std::function<bool(const CaptureEntry&)>& wanted) override;

private:
    static constexpr std::size_t kChannels = 8;

    // Deques: growing never moves what is held, so no append on the UI thread
    // pays for copying a long log.
    std::size_t capacity_;
    std::deque<WordLogEntry> entries_;
    std::uint64_t firstEntry_ = 0;      // number of entries_.front() since the log began
    std::deque<std::uint64_t> rows_;    // numbers of the entries shown
    std::uint64_t rowsDropped_ = 0;
    std::uint64_t wordsDropped_ = 0;
    WordLogFilter filter_;
    std::int64_t startUnixUs_ = 0;
    // Time of each label's newest word per channel, -1 before its first.
    std::array<std::array<std::int64_t, 256>, kChannels> lastUs_;
    std::optional<std::uint64_t> ringCursor_;
    std::uint64_t lost_ = 0;
    std::vector<CaptureEntry> copyBuffer_;
};

} // namespace telvar5
