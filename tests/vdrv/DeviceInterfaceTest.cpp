#include <set>

#include "VdrvRig.h"
#include "device/ModuleSearch.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kFourInterfaces = R"(
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
interface 2 serial 2047 inputs 4 outputs 4
interface 3 serial 3003 inputs 2 outputs 8
interface 6 fails 32
)";

TEST(DeviceInterfaces, OpenGivesFreshHandlesAndTheConfiguredErrors)
{
    VdrvRig rig(kFourInterfaces);
    std::set<DeviceHandle> handles;
    for (std::uint32_t index : {0u, 2u, 3u, 0u, 2u}) {
        const DeviceHandle h = rig.open(index);
        EXPECT_NE(h, kNoDevice);
        EXPECT_TRUE(handles.insert(h).second) << "handle reused";
    }

    std::uint32_t error = 0;
    EXPECT_EQ(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 1, error), kInvalidHandle);
    EXPECT_EQ(error, 5u); // access denied
    EXPECT_EQ(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 6, error), kInvalidHandle);
    EXPECT_EQ(error, 32u);
    for (std::uint32_t index : {4u, 5u, 15u, 16u, 1000u}) {
        error = 0;
        EXPECT_EQ(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, index, error), kInvalidHandle);
        EXPECT_EQ(error, kErrorNoMoreItems) << index;
    }
    Guid other = kTelvar5InterfaceClass;
    other.data4[7] ^= 1;
    EXPECT_EQ(rig.bus->openDeviceByIndex(other, 0, error), kInvalidHandle);
    EXPECT_EQ(error, kErrorNoMoreItems);
}

TEST(DeviceInterfaces, SeveralHandlesReachTheSameModule)
{
    VdrvRig rig(kFourInterfaces);
    const DeviceHandle a = rig.open(2);
    const DeviceHandle b = rig.open(2);
    EXPECT_EQ(rig.serial(a), 2047);
    EXPECT_EQ(rig.serial(b), 2047);
    rig.initialise(a);
    rig.startAddress(a, 3);
    EXPECT_TRUE(rig.receiving(b, 3));
    EXPECT_EQ(rig.snapshot(2).openHandles, 2u);
    rig.bus->closeDevice(a); // dead for good; closing it again closes nothing
    rig.bus->closeDevice(a);
    EXPECT_EQ(rig.snapshot(2).openHandles, 1u);
    ShortReply reply{};
    EXPECT_FALSE(rig.send(a, ReqSIstate, channelRecord(3), reply));
    EXPECT_TRUE(rig.receiving(b, 3));
}

TEST(DeviceInterfaces, TheProgramsSearchSeesGapsAndAtMostEightModules)
{
    std::string text;
    for (int i = 0; i < 16; ++i) {
        text += i == 1 || i == 4 ? "interface " + std::to_string(i) + " fails\n"
                                 : "interface " + std::to_string(i) + " serial " + std::to_string(100 + i)
                + " inputs 2 outputs 2\n";
    }
    VdrvRig rig(text);
    const ModuleTable table = searchModules(*rig.bus);
    ASSERT_EQ(table.count, 8);
    const std::uint32_t expected[8] = {0, 2, 3, 5, 6, 7, 8, 9};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(table.entries[i].enumerationIndex, expected[i]);
        EXPECT_EQ(table.entries[i].serialNumber, 100 + expected[i]);
    }
    // Beyond the eighth module the interfaces are there all the same.
    EXPECT_EQ(rig.serial(rig.open(15)), 115);
}

TEST(DeviceInterfaces, NoConfigurationMeansNoInterface)
{
    VirtualDeviceBus bus(std::filesystem::path("/nonexistent/telvar5-vdrv.conf"));
    std::uint32_t error = 0;
    for (std::uint32_t index = 0; index < 16; ++index) {
        EXPECT_EQ(bus.openDeviceByIndex(kTelvar5InterfaceClass, index, error), kInvalidHandle);
        EXPECT_EQ(error, kErrorNoMoreItems);
    }
    EXPECT_EQ(searchModules(bus).count, 0);
    EXPECT_FALSE(bus.driver().benchRunning());
}

TEST(DeviceInterfaces, UnknownHandlesFailWithoutTouchingTheReply)
{
    VdrvRig rig(kFourInterfaces);
    const DeviceHandle good = rig.open(0);
    for (DeviceHandle h : {kNoDevice, kInvalidHandle, good + 1, good + 4, DeviceHandle{0x1000 + 4 * 5000}}) {
        ShortReply reply{0xAB, 0xCD};
        std::uint32_t returned = 77;
        EXPECT_FALSE(rig.bus->control(h, ReqSerialNumber, nullptr, 0, reply.data(), 2, returned));
        EXPECT_EQ(returned, 0u);
        EXPECT_EQ(reply, (ShortReply{0xAB, 0xCD}));
    }
}

} // namespace
} // namespace telvar5::vdrv::test
