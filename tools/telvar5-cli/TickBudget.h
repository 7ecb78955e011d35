#pragma once
// How long a command runs the refresh cycle: a number of ticks, or a time.
#include <cstdint>
#include <optional>

namespace telvar5::cli {

struct TickBudget {
    std::optional<std::uint64_t> ticks;   // set: exactly this many ticks
    std::int64_t durationUs = 2'000'000;  // otherwise the ticks due within this time
};

} // namespace telvar5::cli
