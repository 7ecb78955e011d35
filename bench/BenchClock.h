#pragma once
// A clock the benchmark moves by hand: the work timed sees the time it is given.
#include <cstdint>

#include "core/MonotonicClock.h"

namespace telvar5::bench {

class BenchClock final : public MonotonicClock {
public:
    std::int64_t now = 1'000'000;
    std::int64_t nowUs() const override { return now; }
};

} // namespace telvar5::bench
