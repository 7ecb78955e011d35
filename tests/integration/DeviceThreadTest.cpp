// The window's ticks with the device thread: the reads a slow driver makes
// long go on off the UI thread, yet every request goes out in the order and
// with the bytes the whole tick on the UI thread sends, a command in the
// middle of a tick's reads included, and the close's reset last.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Monitor.h"
#include "core/RefreshPeriod.h"
#include "core/input/TickWorker.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "support/FakePrompts.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

using namespace telvar5;

namespace {

struct SentRequest {
    std::uint32_t code;
    std::vector<std::uint8_t> in;
    friend bool operator==(const SentRequest&, const SentRequest&) = default;
};

// Keeps the code and bytes of every request, whichever thread sends it.
class RequestLogBus final : public DeviceBus {
public:
    explicit RequestLogBus(DeviceBus& inner) : inner_(inner) {}
    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index, std::uint32_t& errorCode) override
    {
        return inner_.openDeviceByIndex(interfaceClass, index, errorCode);
    }
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        const auto* bytes = static_cast<const std::uint8_t*>(in);
        sent.push_back({code, bytes ? std::vector<std::uint8_t>(bytes, bytes + inSize) : std::vector<std::uint8_t>{}});
        return inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
    }
    std::uint32_t lastErrorCode() const override { return inner_.lastErrorCode(); }

    std::vector<SentRequest> sent;

private:
    DeviceBus& inner_;
};

// The demo's walk through a module: choose, initialise, eight inputs receiving,
// three ticks with a stop of input 3 during the second, then the close. Every
// request of the run, as sent.
std::vector<SentRequest> walkThrough(bool deviceThread)
{
    // 2048 reads 20 us late each: 41 ms of reads, well past what a tick reads on the UI thread.
    const vdrv::ConfigLoadResult config =
        vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\nfault 0 slow 20\n", ".");
    EXPECT_TRUE(config.errors.empty());
    VirtualDeviceBus driver(std::make_shared<vdrv::VirtualDriver>(config));
    RequestLogBus bus(driver);
    test::FakePrompts prompts;
    TickWorker worker;
    Monitor monitor(bus, prompts);
    RefreshCycle& refresh = monitor.refresh();
    if (deviceThread)
        refresh.setDeviceThread(&worker, [] {});
    // No tick stops at half its period (where it stops depends on the machine): each reads every cell.
    monitor.setRefreshPeriod(kMaxRefreshPeriodMs);

    DeviceChoice& choice = monitor.deviceChoice();
    choice.search();
    EXPECT_TRUE(choice.Button1Click());
    choice.afterDialog();
    monitor.lifecycle().DeviceInitializationExecute();
    for (int ch = 0; ch < kChannels; ++ch) {
        monitor.reception().SIChange(ch);
        if (ch % 2)
            monitor.reception().SIfilePuskExecute();
        else
            monitor.reception().SIaddressPuskExecute();
    }
    for (int tick = 1; tick <= 3; ++tick) {
        if (deviceThread) {
            EXPECT_FALSE(refresh.startTick()) << "tick " << tick << ": its reads went to the device thread";
            EXPECT_TRUE(refresh.tickInFlight());
        } else {
            refresh.Timer1Timer();
        }
        if (tick == 2) { // the user stops input 3 while the tick reads
            monitor.reception().SIChange(2);
            monitor.reception().SIstopChannelExecute();
        }
        if (tick == 3)
            break; // the close comes while the last tick reads
        refresh.settle();
        if (deviceThread)
            EXPECT_TRUE(refresh.takeFinishedTick()) << "tick " << tick;
    }
    monitor.lifecycle().FormClose();
    EXPECT_FALSE(refresh.tickInFlight());
    EXPECT_EQ(monitor.health().failedRequests(), 0u);
    return bus.sent;
}

} // namespace

TEST(DeviceThread, EveryRequestGoesOutInTheOrderAndWithTheBytesOfTheWholeTickOnTheUiThread)
{
    const std::vector<SentRequest> onUiThread = walkThrough(false);
    const std::vector<SentRequest> withDeviceThread = walkThrough(true);
    ASSERT_GT(onUiThread.size(), 3u * 2048u - 256u); // input 3 stopped before the third tick
    EXPECT_EQ(withDeviceThread.size(), onUiThread.size());
    EXPECT_TRUE(withDeviceThread == onUiThread);
    EXPECT_EQ(withDeviceThread.back().code, ReqDeviceReset) << "the close's reset comes after the tick, and last";
}
