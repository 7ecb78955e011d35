#pragma once
// Per-label statistics of every input channel since its reception started.
#include <cstddef>
#include <cstdint>

namespace telvar5 {

class LabelStatistics {
public:
    // Reception started on channel index ch at `startUs` (capture time).
    void reset(std::size_t ch, std::int64_t startUs);
    // A fresh word stored on channel index ch at capture time `timeUs`.
    void record(std::size_t ch, std::uint32_t word, std::int64_t timeUs) noexcept;
};

} // namespace telvar5
