#pragma once
// Time as the core measures it: microseconds from a steady clock. Injected so
// that tests can make a slow driver without sleeping.
#include <chrono>
#include <cstdint>

namespace telvar5 {

class MonotonicClock {
public:
    virtual ~MonotonicClock() = default;
    virtual std::int64_t nowUs() const = 0;
};

class SteadyClock final : public MonotonicClock {
public:
    std::int64_t nowUs() const override
    {
        return std::chrono::duration_cast<std::chrono::microseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    static const SteadyClock& instance()
    {
        static const SteadyClock clock;
        return clock;
    }
};

} // namespace telvar5
