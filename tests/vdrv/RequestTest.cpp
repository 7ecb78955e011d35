#include <vector>

#include "VdrvRig.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kModules = R"(
interface 0 serial 1021 inputs 8 outputs 8
interface 2 serial 2047 inputs 4 outputs 4
interface 3 serial 3003 inputs 2 outputs 8
)";

// A request with raw sizes; the reply area is pre-filled with 0xA5.
struct RawResult {
    bool ok;
    std::uint32_t returned;
    std::vector<std::uint8_t> out;
};

RawResult raw(VdrvRig& rig, DeviceHandle h, std::uint32_t code, std::uint32_t inSize, std::uint32_t outSize,
              bool nullIn = false)
{
    std::vector<std::uint8_t> in(inSize + 1, 0);
    if (inSize >= 2)
        putU16(in.data(), 1); // channel 1
    RawResult r{false, 99, std::vector<std::uint8_t>(outSize + 1, 0xA5)};
    r.ok = rig.bus->control(h, code, nullIn ? nullptr : in.data(), inSize, outSize ? r.out.data() : nullptr,
                            outSize, r.returned);
    return r;
}

TEST(Requests, EachRequestNeedsItsExactSizes)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    for (const RequestInfo& info : kRequestTable) {
        SCOPED_TRACE(std::string(info.name));
        RawResult r = raw(rig, h, info.code, info.inSize, info.outSize);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.returned, info.outSize);

        // More room than the reply needs is fine; only the reply is written.
        r = raw(rig, h, info.code, info.inSize, info.outSize + 4);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.returned, info.outSize);
        EXPECT_EQ(r.out[info.outSize], 0xA5);

        for (RawResult bad : {raw(rig, h, info.code, info.inSize + 1, info.outSize),
                              info.inSize ? raw(rig, h, info.code, info.inSize - 1, info.outSize)
                                          : raw(rig, h, info.code, 7, info.outSize),
                              info.outSize ? raw(rig, h, info.code, info.inSize, info.outSize - 1)
                                           : raw(rig, h, info.code, info.inSize + 2, 0),
                              info.inSize ? raw(rig, h, info.code, info.inSize, info.outSize, true)
                                          : raw(rig, h, info.code, 1, info.outSize)}) {
            EXPECT_FALSE(bad.ok);
            EXPECT_EQ(bad.returned, 0u);
            for (std::uint8_t b : bad.out)
                EXPECT_EQ(b, 0xA5);
        }
    }
    // The reply area may be absent only when there is no reply.
    std::uint32_t returned = 5;
    EXPECT_FALSE(rig.bus->control(h, ReqSerialNumber, nullptr, 0, nullptr, 2, returned));
    EXPECT_EQ(returned, 0u);
}

TEST(Requests, UnknownCodesFail)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    for (std::uint32_t code : {0u, 0x222034u, 0x2220F0u, 0x2220EDu, 0xFFFFFFFFu, controlCode(0x80D)}) {
        for (std::uint32_t size : {0u, 2u, 6u}) {
            const RawResult r = raw(rig, h, code, size, size);
            EXPECT_FALSE(r.ok) << std::hex << code;
            EXPECT_EQ(r.returned, 0u);
        }
    }
}

TEST(Requests, SerialNumberAndConfigurationWord)
{
    VdrvRig rig(kModules);
    const DeviceHandle a = rig.open(0), b = rig.open(2), c = rig.open(3);
    EXPECT_EQ(rig.serial(a), 1021);
    EXPECT_EQ(rig.serial(b), 2047);
    EXPECT_EQ(rig.serial(c), 3003);
    const std::uint16_t wa = rig.choose(a), wb = rig.choose(b), wc = rig.choose(c);
    EXPECT_EQ(wa, 0x0880);
    EXPECT_EQ(inputChannelsOf(wb), 4u);
    EXPECT_EQ(outputChannelsOf(wb), 4u);
    EXPECT_EQ(inputChannelsOf(wc), 2u);
    EXPECT_EQ(outputChannelsOf(wc), 8u);
    EXPECT_EQ(wc & 0xF00F, 0);
}

TEST(Requests, StateAnswersFollowTheModule)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(3); // 2 inputs, 8 outputs
    rig.choose(h);
    // Not initialised: starts are ignored, states answer 0.
    rig.startAddress(h, 1);
    rig.cyclic(h, 1, {0x11111111});
    EXPECT_FALSE(rig.receiving(h, 1));
    EXPECT_FALSE(rig.transmitting(h, 1));

    ShortReply reply{};
    ASSERT_TRUE(rig.send(h, ReqDeviceInitialization, FreqCodes{}, reply));
    rig.startAddress(h, 1);
    rig.startFile(h, 2);
    rig.startAddress(h, 3); // the module has no input channel 3
    rig.cyclic(h, 8, {0x11111111});
    EXPECT_TRUE(rig.receiving(h, 1));
    EXPECT_TRUE(rig.receiving(h, 2));
    for (std::uint16_t ch : {0, 3, 8, 9, 0xFFFF})
        EXPECT_FALSE(rig.receiving(h, ch)) << ch;
    EXPECT_TRUE(rig.transmitting(h, 8));
    for (std::uint16_t ch : {0, 1, 7, 9})
        EXPECT_FALSE(rig.transmitting(h, ch)) << ch;

    rig.channelRequest(h, ReqSIstopChannel, 1);
    EXPECT_FALSE(rig.receiving(h, 1));
    EXPECT_TRUE(rig.receiving(h, 2));

    // The stop of the device stops every channel; starts wait for a new initialisation.
    NoRecord none;
    ASSERT_TRUE(rig.send(h, ReqDeviceReset, none, none));
    EXPECT_FALSE(rig.receiving(h, 2));
    EXPECT_FALSE(rig.transmitting(h, 8));
    rig.startAddress(h, 2);
    EXPECT_FALSE(rig.receiving(h, 2));
    ASSERT_TRUE(rig.send(h, ReqDeviceInitialization, FreqCodes{}, reply));
    rig.startAddress(h, 2);
    EXPECT_TRUE(rig.receiving(h, 2));

    // The choice resets the module.
    rig.choose(h);
    EXPECT_FALSE(rig.receiving(h, 2));
    EXPECT_FALSE(rig.snapshot(3).initialised);
}

TEST(Requests, InitialisationKeepsTheCodesAndRefusesUnknownOnes)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    rig.initialise(h, codes({{0, 2}, {3, 1}, {10, 1}, {15, 2}}));
    const ModuleSnapshot m = rig.snapshot(0);
    EXPECT_TRUE(m.initialised);
    EXPECT_EQ(m.receivers[0].code, 2);
    EXPECT_EQ(m.receivers[3].code, 1);
    EXPECT_EQ(m.transmitters[2].code, 1);
    EXPECT_EQ(m.transmitters[7].code, 2);
    EXPECT_EQ(m.transmitters[0].code, 0);

    rig.choose(h);
    ShortReply reply{0x5A, 0x5A};
    const FreqCodes unknown = codes({{4, 3}});
    std::uint32_t returned = 9;
    EXPECT_FALSE(rig.bus->control(h, ReqDeviceInitialization, unknown.data(), kFreqCodesSize, reply.data(), 2,
                                  returned));
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(reply, (ShortReply{0x5A, 0x5A})); // the driver leaves the caller's bytes alone
    EXPECT_FALSE(rig.snapshot(0).initialised);
    EXPECT_EQ(rig.snapshot(0).receivers[0].code, 0); // the choice set the codes to 0
}

} // namespace
} // namespace telvar5::vdrv::test
