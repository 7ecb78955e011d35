#pragma once
// The monitor's clock reading the virtual module's manual clock, so a test
// moves both at once.
#include "core/MonotonicClock.h"
#include "vdrv/ManualClock.h"

namespace telvar5::test {

class SharedClock final : public MonotonicClock {
public:
    explicit SharedClock(const vdrv::ManualClock& clock) : clock_(clock) {}
    std::int64_t nowUs() const override { return clock_.nowUs(); }

private:
    const vdrv::ManualClock& clock_;
};

} // namespace telvar5::test
