#include "CliEnvironment.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "core/analysis/CaptureCommands.h"

namespace telvar5::cli {

namespace {
volatile std::sig_atomic_t interruptRequested = 0;
} // namespace

void requestInterrupt() noexcept { interruptRequested = 1; }

CliEnvironment CliEnvironment::system()
{
    CliEnvironment env;
    env.openBus = [](const std::optional<std::filesystem::path>& config) { return createPlatformDeviceBus(config); };
    env.clock = &SteadyClock::instance();
    // SteadyClock counts microseconds of std::chrono::steady_clock since its epoch.
    // In slices, so Ctrl+C ends a long wait within a twentieth of a second.
    env.sleepUntil = [](std::int64_t untilUs) {
        const auto until = std::chrono::steady_clock::time_point(std::chrono::microseconds(untilUs));
        while (interruptRequested == 0 && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_until(
                std::min(until, std::chrono::steady_clock::now() + std::chrono::milliseconds(50)));
    };
    env.interrupted = [] { return interruptRequested != 0; };
    env.wallClockUs = systemUnixUs;
    return env;
}

} // namespace telvar5::cli
