// telvar5-standin-bench: what the Windows path to the card costs under wine
// while the stand-in host serves: one DeviceIoControl the stand-in driver
// answers alone, one handed on to the host, and a refresh tick of the monitor
// on that path beside the same tick on the in-process virtual driver. Test
// equipment, Windows (wine) only; medians, so a stray preemption does not count.
//
//   telvar5-standin-bench [--config FILE] [--calls N] [--ticks N]
//
// --config names the host's configuration file (default telvar5-vdrv.conf),
// which the in-process driver reads too. Exit code 0 when every figure was
// measured, 1 when a step failed (said on standard error), 2 for bad arguments.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "standin/StandInExchange.h"
#include "core/Monitor.h"
#include "core/UserPrompts.h"
#include "device/PlatformDeviceBus.h"

using namespace telvar5;

namespace {

using WallClock = std::chrono::steady_clock;

constexpr std::int32_t kUncutPeriodMs = 10000; // the tick stops at half of it: never, here

struct Options {
    std::string config = "telvar5-vdrv.conf";
    int calls = 2000;
    int ticks = 5;
};

const char* const kUsage = "usage: telvar5-standin-bench [--config FILE] [--calls N] [--ticks N]\n";

bool fail(const char* step, const std::string& what)
{
    std::fprintf(stderr, "telvar5-standin-bench: %s: %s\n", step, what.c_str());
    return false;
}

double median(std::vector<double> values)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double microsecondsSince(WallClock::time_point start)
{
    return std::chrono::duration<double, std::micro>(WallClock::now() - start).count();
}

// The choice of a module resets it after a question; the bench answers Yes.
class AnsweringPrompts final : public UserPrompts {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void beep() override {}
    void showError(const std::string& title, const std::string& text) override
    {
        std::fprintf(stderr, "telvar5-standin-bench: the monitor says: %s: %s\n", title.c_str(), text.c_str());
    }
    std::optional<std::string> askOpenFileName(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> askSaveFileName(const FileDialogOptions&) override { return std::nullopt; }
};

// a) The driver's control device answers the echo itself: wine's cost of one call.
bool echoMicroseconds(int calls, double& medianUs)
{
    const HANDLE control = CreateFileA(T5SI_CONTROL_PATH_A, GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (control == INVALID_HANDLE_VALUE)
        return fail("echo", std::string("cannot open ") + T5SI_CONTROL_PATH_A + " (error "
                                + std::to_string(GetLastError()) + ")");
    std::vector<double> costs;
    costs.reserve(static_cast<std::size_t>(calls));
    bool ok = true;
    for (int i = 0; i < calls && ok; ++i) {
        unsigned char in[6] = {'T', '5', 'S', 'I', static_cast<unsigned char>(i), static_cast<unsigned char>(i >> 8)};
        unsigned char out[6] = {};
        DWORD returned = 0;
        const auto start = WallClock::now();
        const BOOL done = DeviceIoControl(control, T5SI_IOCTL_ECHO, in, sizeof in, out, sizeof out, &returned, nullptr);
        costs.push_back(microsecondsSince(start));
        if (!done)
            ok = fail("echo", "DeviceIoControl failed (error " + std::to_string(GetLastError()) + ")");
        else if (returned != sizeof out || !std::equal(in, in + sizeof in, out))
            ok = fail("echo", "the driver did not give back what it was sent");
    }
    CloseHandle(control);
    if (ok)
        medianUs = median(costs);
    return ok;
}

// b) A word read on module 0, handed on to the host and answered by it.
bool readWordMicroseconds(int calls, double& medianUs)
{
    const PlatformDeviceBus platform = createPlatformDeviceBus();
    DeviceBus& bus = *platform.bus;
    std::uint32_t error = 0;
    const DeviceHandle module = bus.openDeviceByIndex(kTelvar5InterfaceClass, 0, error);
    if (module == kInvalidHandle)
        return fail("ReqSIreadWord", "cannot open module 0 (error " + std::to_string(error) + ")");
    ShortReply reply{};
    if (!sendRequest(bus, module, ReqDeviceChoice, NoRecord{}, reply))
        return fail("ReqSIreadWord", "module 0 refused ReqDeviceChoice");
    if (!sendRequest(bus, module, ReqDeviceInitialization, FreqCodes{}, reply))
        return fail("ReqSIreadWord", "module 0 refused ReqDeviceInitialization");
    std::vector<double> costs;
    costs.reserve(static_cast<std::size_t>(calls));
    ReadWordReply word{};
    for (int i = 0; i < calls; ++i) {
        const auto record = readWordRecord(1, static_cast<std::uint16_t>(i % kInputCells));
        const auto start = WallClock::now();
        const bool done = sendRequest(bus, module, ReqSIreadWord, record, word);
        costs.push_back(microsecondsSince(start));
        if (!done)
            return fail("ReqSIreadWord", "read " + std::to_string(i + 1) + " failed");
    }
    medianUs = median(costs);
    return true;
}

// c) The monitor's refresh tick on the first module with `inputs` channels receiving.
bool tickMilliseconds(const char* step, DeviceBus& bus, int inputs, int ticks, double& median_ms)
{
    AnsweringPrompts prompts;
    Monitor monitor(bus, prompts);
    DeviceChoice& choice = monitor.deviceChoice();
    choice.search();
    if (!choice.Button1Click())
        return fail(step, "no module to choose");
    choice.afterDialog();
    if (monitor.run().siChannelCount < static_cast<std::uint32_t>(inputs))
        return fail(step, "the first module has " + std::to_string(monitor.run().siChannelCount) + " inputs");
    monitor.lifecycle().DeviceInitializationExecute();
    for (int ch = 0; ch < inputs; ++ch) {
        monitor.reception().SIChange(ch);
        monitor.reception().SIaddressPuskExecute();
    }
    monitor.reception().SIChange(0);
    monitor.setRefreshPeriod(kUncutPeriodMs);
    std::vector<double> costs;
    for (int i = 0; i < ticks; ++i) {
        const auto start = WallClock::now();
        monitor.refresh().Timer1Timer();
        costs.push_back(microsecondsSince(start) / 1000.0);
    }
    median_ms = median(costs);
    return true;
}

bool positiveNumber(const char* text, int most, int& value)
{
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || n < 1 || n > most)
        return false;
    value = static_cast<int>(n);
    return true;
}

// nullopt: bad arguments, said on standard error.
std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--config" && hasValue) {
            options.config = argv[++i];
        } else if (arg == "--calls" && hasValue && positiveNumber(argv[i + 1], 1000000, options.calls)) {
            ++i;
        } else if (arg == "--ticks" && hasValue && positiveNumber(argv[i + 1], 1000, options.ticks)) {
            ++i;
        } else {
            std::fprintf(stderr, "telvar5-standin-bench: bad argument %s\n%s", arg.c_str(), kUsage);
            return std::nullopt;
        }
    }
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<Options> options = parseArguments(argc, argv);
    if (!options)
        return 2;

    const PlatformDeviceBus inProcess = createPlatformDeviceBus(std::filesystem::path(options->config));
    if (inProcess.config != PlatformDeviceBus::Config::Read) {
        fail("configuration", "cannot read " + options->config);
        return 1;
    }
    const PlatformDeviceBus standIn = createPlatformDeviceBus();

    double echoUs = 0;
    if (!echoMicroseconds(options->calls, echoUs))
        return 1;
    std::printf("echo (driver alone):            %.1f us per DeviceIoControl (median of %d)\n", echoUs,
                options->calls);
    std::fflush(stdout);

    double readUs = 0;
    if (!readWordMicroseconds(options->calls, readUs))
        return 1;
    std::printf("ReqSIreadWord (through host):   %.1f us per DeviceIoControl (median of %d)\n", readUs,
                options->calls);
    std::fflush(stdout);

    for (const int inputs : {1, 8}) {
        double standInMs = 0;
        double inProcessMs = 0;
        if (!tickMilliseconds("tick on the stand-in", *standIn.bus, inputs, options->ticks, standInMs)
            || !tickMilliseconds("tick in-process", *inProcess.bus, inputs, options->ticks, inProcessMs))
            return 1;
        if (inProcessMs <= 0) {
            fail("tick in-process", "too short for the clock to tell");
            return 1;
        }
        const std::string label = inputs == 1 ? "tick, 1 input  (stand-in):" : "tick, 8 inputs (stand-in):";
        std::printf("%-32s%.1f ms   in-process: %.3f ms   ratio %.0f\n", label.c_str(), standInMs, inProcessMs,
                    standInMs / inProcessMs);
        std::fflush(stdout);
    }
    std::printf("These are wine's costs on this machine, not the card's.\n");
    return 0;
}
