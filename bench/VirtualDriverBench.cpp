// One refresh tick with all eight input channels receiving: 2 state requests
// and 8 x 256 ReqSIreadWord requests through VirtualDeviceBus, on the real
// clock, with traffic arriving on every channel. The tick must stay well
// under 0.5 ms.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "device/DeviceBus.h"
#include "device/Requests.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/VirtualDriver.h"

namespace {

using namespace telvar5;

std::unique_ptr<VirtualDeviceBus> eightReceivingChannels(DeviceHandle& handle)
{
    std::string text = "interface 0 serial 1021 inputs 8 outputs 8\n";
    for (int ch = 1; ch <= 8; ++ch) {
        text += "traffic 0 " + std::to_string(ch) + " low\n";
        for (int label = 0200; label < 0212; ++label)
            text += "  bnr " + std::to_string(label / 64) + std::to_string(label / 8 % 8) + std::to_string(label % 8)
                + " 50 17 1 sine 0 30000 60\n";
    }
    auto bus = std::make_unique<VirtualDeviceBus>(
        std::make_shared<vdrv::VirtualDriver>(vdrv::parseConfigText(text, "/tmp")));
    std::uint32_t error = 0;
    handle = bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error);
    ShortReply reply{};
    sendRequest(*bus, handle, ReqDeviceChoice, NoRecord{}, reply);
    sendRequest(*bus, handle, ReqDeviceInitialization, FreqCodes{}, reply);
    for (std::uint16_t ch = 1; ch <= 8; ++ch)
        sendRequest(*bus, handle, ch % 2 ? ReqSIaddressPusk : ReqSIfilePusk, receptionStartRecord(ch), reply);
    return bus;
}

void BM_RefreshTickEightChannels(benchmark::State& state)
{
    DeviceHandle h = kInvalidHandle;
    const auto bus = eightReceivingChannels(h);
    std::uint64_t words = 0;
    for (auto _ : state) {
        ShortReply reply{};
        sendRequest(*bus, h, ReqSOstate, channelRecord(1), reply);
        sendRequest(*bus, h, ReqSIstate, channelRecord(1), reply);
        for (std::uint16_t ch = 1; ch <= 8; ++ch) {
            for (std::uint16_t cell = 0; cell < 256; ++cell) {
                ReadWordReply word{};
                sendRequest(*bus, h, ReqSIreadWord, readWordRecord(ch, cell), word);
                words += readWordReplyWord(word) >= 0x10000 ? 1 : 0;
            }
        }
    }
    benchmark::DoNotOptimize(words);
    state.SetItemsProcessed(state.iterations() * 2050);
}
BENCHMARK(BM_RefreshTickEightChannels)->Unit(benchmark::kMicrosecond);

} // namespace
