#pragma once
#include "vdrv/Clock.h"

namespace telvar5::vdrv {

// Real time from the steady clock (a vDSO read, cheap enough per request).
class SteadyClock final : public Clock {
public:
    Micros nowUs() const override;
    void waitUs(Micros d) const override;
};

} // namespace telvar5::vdrv
