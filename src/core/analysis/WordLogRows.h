#pragma once
// The rows of the sequential log as its window reads them, whether they come
// live from the capture ring (WordLog) or from a recording read lazily
// (WordLogFileView). Rows are only ever appended while the filter stays the
// same; a new filter starts them afresh.
#include <cstdint>
#include <functional>
#include <optional>

#include "core/analysis/WordLogEntry.h"
#include "core/analysis/WordLogFilter.h"

namespace telvar5 {

class WordLogRows {
public:
    virtual ~WordLogRows() = default;

    // Wall clock (Unix epoch, UTC, microseconds) of time 0.
    virtual std::int64_t startUnixUs() const = 0;

    virtual void setFilter(const WordLogFilter& filter) = 0;
    virtual const WordLogFilter& filter() const = 0;

    // Rows the filter keeps so far.
    virtual std::uint64_t rowCount() const = 0;
    // The word of row `row` (below rowCount()); false when it cannot be read
    // (a recording that shrank after it was opened).
    virtual bool row(std::uint64_t row, WordLogEntry& out) = 0;

    // The first row after `fromRow` whose word `wanted` accepts, or none.
    virtual std::optional<std::uint64_t> findNext(std::uint64_t fromRow,
                                                  const std::function<bool(const CaptureEntry&)>& wanted) = 0;
};

} // namespace telvar5
