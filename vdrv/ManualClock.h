#pragma once
// A clock that moves only when told to: tests step the module model through
// exact word times. Atomic because the bench thread may read it too. Waiting
// on it passes the time at once, so a slow request costs a test nothing.
#include <atomic>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

class ManualClock final : public Clock {
public:
    explicit ManualClock(Micros start = 0) : now_(start) {}

    Micros nowUs() const override { return now_.load(std::memory_order_relaxed); }
    void waitUs(Micros d) const override { now_.fetch_add(d, std::memory_order_relaxed); }
    void setUs(Micros t) { now_.store(t, std::memory_order_relaxed); }
    void advanceUs(Micros d) { now_.fetch_add(d, std::memory_order_relaxed); }
    void advanceMs(Micros d) { advanceUs(d * 1000); }

private:
    mutable std::atomic<Micros> now_; // waitUs is const, as a wait leaves the clock a clock
};

} // namespace telvar5::vdrv
