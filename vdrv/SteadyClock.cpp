#include "vdrv/SteadyClock.h"

#include <chrono>
#include <thread>

namespace telvar5::vdrv {

Micros SteadyClock::nowUs() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

// mingw's sleep_for drops what is below a whole millisecond (a 300 us wait
// returned at once under wine), so a slow fault would not be slow on Windows:
// what the sleep leaves, the clock watches out.
void SteadyClock::waitUs(Micros d) const
{
    if (d <= 0)
        return;
    const Micros until = nowUs() + d;
    std::this_thread::sleep_for(std::chrono::microseconds(d));
    while (nowUs() < until)
        std::this_thread::yield();
}

} // namespace telvar5::vdrv
