#include "vdrv/SteadyClock.h"

#include <chrono>
#include <thread>

namespace telvar5::vdrv {

Micros SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::waitUs(Micros d) const
{
    if (d > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(d));
}

} // namespace telvar5::vdrv
