#pragma once
// The sequential log of captured words: every word in arrival order with the
// time since its label's previous word on the same channel, and an index of
// the rows the filter keeps. Words are appended as they come (from the
// capture ring while live, or from a recording): the index grows with them
// and is rebuilt only when the filter changes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "core/analysis/CaptureRing.h"
#include "core/analysis/WordLogEntry.h"
#include "core/analysis/WordLogFilter.h"
#include "core/analysis/WordLogRowText.h"

namespace telvar5 {

class WordLog {
public:
    WordLog();

    // Appends one word in arrival order.
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

    void setFilter(const WordLogFilter& filter);
    const WordLogFilter& filter() const { return filter_; }

    std::size_t entryCount() const { return entries_.size(); }
    // Rows the filter keeps, and the word of each.
    std::size_t rowCount() const { return rows_.size(); }
    const WordLogEntry& row(std::size_t row) const { return entries_[rows_[row]]; }

    // The first row after `fromRow` whose word `wanted` accepts, or none.
    std::optional<std::size_t> findNext(std::size_t fromRow,
                                        const std::function<bool(const CaptureEntry&)>& wanted) const;
    // The next row of the same label on the same channel as row `fromRow`.
    std::optional<std::size_t> findNextLabel(std::size_t fromRow) const;
    // The next row showing the same value as row `fromRow` (none when that row has no value).
    std::optional<std::size_t> findNextValue(std::size_t fromRow, const WordLogRowText& text) const;

private:
    static constexpr std::size_t kChannels = 8;

    // Deques: growing never moves what is held, so no append on the UI thread
    // pays for copying a long log.
    std::deque<WordLogEntry> entries_;
    std::deque<std::size_t> rows_; // indices into entries_ of the rows shown
    WordLogFilter filter_;
    // Time of each label's newest word per channel, -1 before its first.
    std::array<std::array<std::int64_t, 256>, kChannels> lastUs_;
    std::optional<std::uint64_t> ringCursor_;
    std::uint64_t lost_ = 0;
    std::vector<CaptureEntry> copyBuffer_;
};

} // namespace telvar5
