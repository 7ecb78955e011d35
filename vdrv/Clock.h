#pragma once
// The module model's time source. The model has no threads of its own: it is
// advanced to "now" whenever a request arrives, so its only notion of time is
// what this interface answers. Times are microseconds on a steady scale.
#include <cstdint>
#include <limits>

namespace telvar5::vdrv {

using Micros = std::int64_t;

inline constexpr Micros kNever = std::numeric_limits<Micros>::max();

class Clock {
public:
    virtual ~Clock() = default;
    virtual Micros nowUs() const = 0;
    // Lets d microseconds pass for the caller: a slow request waits here,
    // outside the driver's lock.
    virtual void waitUs(Micros d) const = 0;
};

} // namespace telvar5::vdrv
