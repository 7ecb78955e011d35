#pragma once
// A virtual driver built from configuration text, driven by a manual clock and
// spoken to through VirtualDeviceBus exactly as the program speaks to it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "protocol/ByteLayout.h"
#include "device/DeviceBus.h"
#include "protocol/OutputRecord.h"
#include "protocol/Requests.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::vdrv::test {

class VdrvRig {
public:
    explicit VdrvRig(std::string_view configText, const std::filesystem::path& dir = std::filesystem::temp_directory_path())
    {
        const ConfigLoadResult loaded = parseConfigText(configText, dir);
        EXPECT_TRUE(loaded.errors.empty()) << loaded.errors.front().line << ": " << loaded.errors.front().message;
        driver = std::make_shared<VirtualDriver>(loaded, clock);
        bus = std::make_unique<VirtualDeviceBus>(driver);
    }

    DeviceHandle open(std::uint32_t index)
    {
        std::uint32_t error = 1;
        const DeviceHandle h = bus->openDeviceByIndex(kTelvar5InterfaceClass, index, error);
        EXPECT_NE(h, kInvalidHandle) << "interface " << index;
        EXPECT_EQ(error, 0u);
        return h;
    }

    template <std::size_t In, std::size_t Out>
    bool send(DeviceHandle h, std::uint32_t code, const std::array<std::uint8_t, In>& in,
              std::array<std::uint8_t, Out>& out)
    {
        return sendRequest(*bus, h, code, in, out);
    }

    std::uint16_t choose(DeviceHandle h)
    {
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqDeviceChoice, NoRecord{}, reply));
        return shortReplyValue(reply);
    }

    std::uint16_t serial(DeviceHandle h)
    {
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqSerialNumber, NoRecord{}, reply));
        return shortReplyValue(reply);
    }

    // Choice, then initialisation with the given codes (all 0 by default).
    void initialise(DeviceHandle h, FreqCodes codes = {})
    {
        choose(h);
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqDeviceInitialization, codes, reply));
    }

    void channelRequest(DeviceHandle h, std::uint32_t code, std::uint16_t channel)
    {
        ShortReply reply{};
        EXPECT_TRUE(send(h, code, channelRecord(channel), reply));
    }

    bool state(DeviceHandle h, std::uint32_t code, std::uint16_t channel)
    {
        ShortReply reply{0xEE, 0xEE};
        EXPECT_TRUE(send(h, code, channelRecord(channel), reply));
        EXPECT_LE(reply[0], 1);
        return stateReplyRunning(reply);
    }
    bool receiving(DeviceHandle h, std::uint16_t ch) { return state(h, ReqSIstate, ch); }
    bool transmitting(DeviceHandle h, std::uint16_t ch) { return state(h, ReqSOstate, ch); }

    void startAddress(DeviceHandle h, std::uint16_t ch)
    {
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqSIaddressPusk, receptionStartRecord(ch), reply));
    }
    void startFile(DeviceHandle h, std::uint16_t ch)
    {
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqSIfilePusk, receptionStartRecord(ch), reply));
    }

    std::uint32_t read(DeviceHandle h, std::uint16_t ch, std::uint16_t cell)
    {
        ReadWordReply reply{};
        EXPECT_TRUE(send(h, ReqSIreadWord, readWordRecord(ch, cell), reply));
        return readWordReplyWord(reply);
    }

    // The program's single start: load with {ch, 1, 0, size}, then {ch, 1}.
    void single(DeviceHandle h, std::uint16_t ch, const std::vector<std::uint32_t>& words)
    {
        OutputRecord r;
        r.channelNo = ch;
        r.param1 = 1;
        r.param2 = 0;
        r.param3 = static_cast<std::uint16_t>(words.size());
        std::copy(words.begin(), words.end(), r.words.begin());
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqSOsingleLoad, encodeOutputRecord(r), reply));
        EXPECT_TRUE(send(h, ReqSOsinglePusk, singlePuskRecord(r), reply));
    }

    // The program's cyclic start: {ch, size, size, 0}.
    void cyclic(DeviceHandle h, std::uint16_t ch, const std::vector<std::uint32_t>& words)
    {
        OutputRecord r;
        r.channelNo = ch;
        r.param1 = r.param2 = static_cast<std::uint16_t>(words.size());
        std::copy(words.begin(), words.end(), r.words.begin());
        ShortReply reply{};
        EXPECT_TRUE(send(h, ReqSOciclePusk, encodeOutputRecord(r), reply));
    }

    std::vector<SentWord> sent(int iface, int ch, std::size_t n = kSentRecordSize)
    {
        std::vector<SentWord> words;
        TransmitterSnapshot state;
        std::string error;
        EXPECT_TRUE(driver->sentWords(iface, ch, n, words, state, error)) << error;
        return words;
    }

    ModuleSnapshot snapshot(int iface)
    {
        for (const ModuleSnapshot& m : driver->modules()) {
            if (m.interfaceIndex == iface)
                return m;
        }
        ADD_FAILURE() << "no interface " << iface;
        return {};
    }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1'000'000);
    std::shared_ptr<VirtualDriver> driver;
    std::unique_ptr<VirtualDeviceBus> bus;
};

inline FreqCodes codes(std::initializer_list<std::pair<int, std::uint8_t>> byteAndCode)
{
    FreqCodes c{};
    for (auto [byte, code] : byteAndCode)
        c[byte] = code;
    return c;
}

} // namespace telvar5::vdrv::test
