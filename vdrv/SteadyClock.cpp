#include "vdrv/SteadyClock.h"

#include <chrono>

namespace telvar5::vdrv {

Micros SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace telvar5::vdrv
