#include "VdrvRig.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kModules = R"(
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
interface 2 serial 2047 inputs 4 outputs 4
)";

class Faults : public ::testing::Test {
protected:
    VdrvRig rig{kModules};
    DeviceHandle a = rig.open(0);
    DeviceHandle b = rig.open(2);

    // A serial number request; on failure the reply must stay as it was.
    bool works(DeviceHandle h)
    {
        ShortReply reply{0x77, 0x77};
        std::uint32_t returned = 9;
        const bool ok = rig.bus->control(h, ReqSerialNumber, nullptr, 0, reply.data(), 2, returned);
        if (!ok) {
            EXPECT_EQ(returned, 0u);
            EXPECT_EQ(reply, (ShortReply{0x77, 0x77}));
        }
        return ok;
    }

    void fault(int iface, FaultAction action, std::uint32_t n = 0)
    {
        std::string error;
        EXPECT_TRUE(rig.driver->setFault(iface, action, n, error)) << error;
    }
};

TEST_F(Faults, TheNextNRequestsOfOneModuleFail)
{
    fault(0, FaultAction::FailNext, 2);
    EXPECT_TRUE(works(b));
    EXPECT_FALSE(works(a));
    EXPECT_FALSE(works(a));
    EXPECT_TRUE(works(a));
    EXPECT_EQ(rig.snapshot(0).faults.failNext, 0u);
}

TEST_F(Faults, FailAllAndVanishLastUntilCleared)
{
    fault(2, FaultAction::FailAll);
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(works(b));
    std::uint32_t openError = 0;
    EXPECT_NE(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 2, openError), kInvalidHandle); // only failing
    fault(2, FaultAction::Clear);
    EXPECT_TRUE(works(b));

    // A failed request changes nothing in the module.
    rig.initialise(a);
    fault(kAllInterfaces, FaultAction::Vanish);
    ShortReply reply{};
    EXPECT_FALSE(rig.send(a, ReqSIaddressPusk, receptionStartRecord(1), reply));
    EXPECT_FALSE(works(a));
    EXPECT_FALSE(works(b));
    std::uint32_t error = 0;
    EXPECT_EQ(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);
    EXPECT_EQ(error, kErrorNoMoreItems);

    fault(kAllInterfaces, FaultAction::Clear);
    EXPECT_TRUE(works(a)); // the old handles work again
    EXPECT_FALSE(rig.receiving(a, 1));
    EXPECT_TRUE(rig.snapshot(0).initialised);
    EXPECT_NE(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);
}

TEST_F(Faults, OnlyModulesThatExistTakeFaults)
{
    std::string error;
    EXPECT_FALSE(rig.driver->setFault(1, FaultAction::FailAll, 0, error)); // fails to open, no module
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(rig.driver->setFault(5, FaultAction::Vanish, 0, error));
    EXPECT_FALSE(rig.driver->setFault(16, FaultAction::Vanish, 0, error));
    EXPECT_TRUE(works(a));
}

TEST(RequestLog, RecordsModuleCodeBytesAndOutcome)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(2);
    rig.clock->advanceUs(1500);
    rig.serial(h);
    ReadWordReply word{};
    EXPECT_TRUE(rig.send(h, ReqSIreadWord, readWordRecord(3, 0x1FF), word));
    ShortReply shortReply{};
    EXPECT_FALSE(rig.send(h, ReqSIreadWord, readWordRecord(3, 7), shortReply)); // reply area too small
    EXPECT_FALSE(rig.send(0x4242, ReqSerialNumber, NoRecord{}, shortReply));
    OutputRecord out;
    out.channelNo = 2;
    out.param1 = out.param2 = 5;
    out.words[0] = 0xCAFEF00D;
    EXPECT_TRUE(rig.send(h, ReqSOciclePusk, encodeOutputRecord(out), shortReply));

    const std::vector<LogEntry> log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].interfaceIndex, 2);
    EXPECT_EQ(log[0].code, ReqSerialNumber);
    EXPECT_EQ(log[0].timeUs, 1500);
    EXPECT_TRUE(log[0].ok);
    EXPECT_EQ(log[0].bytesReturned, 2u);
    EXPECT_EQ(getU16(log[0].reply.data()), 2047);

    EXPECT_EQ(log[1].code, ReqSIreadWord);
    EXPECT_EQ(log[1].inSize, 6u);
    EXPECT_EQ(log[1].in[0], 3);
    EXPECT_EQ(getU16(log[1].in.data() + 4), 0x1FF);
    EXPECT_TRUE(log[1].ok);
    EXPECT_EQ(log[1].bytesReturned, 6u);

    EXPECT_FALSE(log[2].ok);
    EXPECT_EQ(log[2].outSize, 2u);
    EXPECT_EQ(log[2].bytesReturned, 0u);
    EXPECT_EQ(log[3].interfaceIndex, -1);
    EXPECT_EQ(log[3].handle, 0x4242u);
    EXPECT_FALSE(log[3].ok);

    EXPECT_EQ(log[4].inSize, 1032u);
    EXPECT_EQ(getU16(log[4].in.data() + 2), 5);
    EXPECT_EQ(getU32(log[4].in.data() + 8), 0xCAFEF00Du);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_EQ(log[i].sequence, log[i - 1].sequence + 1);
}

TEST(RequestLog, KeepsTheLastRequestsAndClears)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    ReadWordReply reply{};
    for (std::size_t i = 0; i < kRequestLogCapacity + 100; ++i)
        rig.send(h, ReqSIreadWord, readWordRecord(1, static_cast<std::uint16_t>(i & 0xFF)), reply);
    std::vector<LogEntry> log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), kRequestLogCapacity);
    EXPECT_EQ(log.back().sequence, kRequestLogCapacity + 100);
    EXPECT_EQ(log.front().sequence, 101u);

    log = rig.driver->requestLog(3, true);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.back().sequence, kRequestLogCapacity + 100);
    EXPECT_TRUE(rig.driver->requestLog().empty());
    rig.serial(h);
    log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].sequence, kRequestLogCapacity + 101); // the count goes on over a clear
}

} // namespace
} // namespace telvar5::vdrv::test
