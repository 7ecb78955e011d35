#pragma once
// What telvar5-cli takes from outside: the driver, the clock the module's
// time is read on, the way to wait on that clock, and the wall clock for the
// capture file's start time. main() passes the real ones; tests pass the
// virtual driver with a manual clock and a sleeper that moves it, so they
// never wait in real time.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/MonotonicClock.h"
#include "core/analysis/LocalTimeText.h"
#include "device/DeviceBus.h"
#include "device/PlatformDeviceBus.h"

namespace telvar5::cli {

struct CliEnvironment {
    // Opens the invocation's driver: the virtual one of the --virtual-module
    // file when one is named, else the platform's own. Its bus then stands in
    // for `bus`. system() gives the device layer's factory; none (tests): the
    // invocation runs on `bus` whatever the command line names.
    std::function<PlatformDeviceBus(const std::optional<std::filesystem::path>& virtualModuleConfig)> openBus;
    DeviceBus* bus = nullptr; // none: no module can be found
    const MonotonicClock* clock = &SteadyClock::instance();
    // Returns once `clock` reads at least untilUs.
    std::function<void(std::int64_t untilUs)> sleepUntil;
    // Unix time in microseconds.
    std::function<std::int64_t()> wallClockUs;
    // The zone the wall-clock columns of receive and export are written in.
    UtcOffsetOf utcOffset = systemUtcOffset;
    // True once the user asked the program to end (Ctrl+C); none: never.
    std::function<bool()> interrupted;

    // The device layer's factory, the steady clock, std::this_thread::sleep_until and the system clock.
    static CliEnvironment system();
};

// Called from the signal handler of Ctrl+C and of a termination request: the
// system environment's sleeps end early and the session stops what transmits.
void requestInterrupt() noexcept;

} // namespace telvar5::cli
