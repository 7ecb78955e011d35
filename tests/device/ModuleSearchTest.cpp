// The start-up search over a scripted driver: which interfaces are tried, which
// modules are listed, and on which handle each serial number is asked.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "device/ModuleSearch.h"
#include "protocol/Requests.h"

namespace telvar5 {
namespace {

// A driver with interfaces at chosen indexes. Interface i opens as handle
// 0x100 + i and answers ReqSerialNumber with its own serial number.
class FakeDeviceBus : public DeviceBus {
public:
    struct Call {
        DeviceHandle handle;
        std::uint32_t code;
        std::uint32_t inSize;
        std::uint32_t outSize;
    };

    std::map<std::uint32_t, std::uint16_t> serialByIndex; // interfaces that open
    std::set<std::uint32_t> serialFails;                  // indexes whose ReqSerialNumber fails
    std::vector<std::uint32_t> triedIndexes;
    std::vector<Call> calls;
    bool otherClassAsked = false;

    static DeviceHandle handleOf(std::uint32_t index) { return 0x100 + index; }

    void addModules(std::uint32_t first, std::uint32_t last)
    {
        for (std::uint32_t i = first; i <= last; ++i)
            serialByIndex[i] = static_cast<std::uint16_t>(1000 + i);
    }

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override
    {
        triedIndexes.push_back(index);
        if (!(interfaceClass == kTelvar5InterfaceClass))
            otherClassAsked = true;
        if (!serialByIndex.count(index)) {
            errorCode = 259; // ERROR_NO_MORE_ITEMS
            return kInvalidHandle;
        }
        errorCode = 0;
        return handleOf(index);
    }

    bool control(DeviceHandle handle, std::uint32_t code, const void*, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        calls.push_back({handle, code, inSize, outSize});
        bytesReturned = 0;
        const std::uint32_t index = static_cast<std::uint32_t>(handle - 0x100);
        if (code != ReqSerialNumber || !serialByIndex.count(index) || serialFails.count(index)
            || outSize < 2 || out == nullptr)
            return false;
        const std::uint16_t serial = serialByIndex[index];
        auto* bytes = static_cast<std::uint8_t*>(out);
        bytes[0] = static_cast<std::uint8_t>(serial);
        bytes[1] = static_cast<std::uint8_t>(serial >> 8);
        bytesReturned = 2;
        return true;
    }
};

std::vector<std::uint32_t> indexesOf(const ModuleTable& table)
{
    std::vector<std::uint32_t> result;
    for (std::size_t i = 0; i < table.count; ++i)
        result.push_back(table.entries[i].enumerationIndex);
    return result;
}

std::vector<std::uint32_t> range(std::uint32_t first, std::uint32_t last)
{
    std::vector<std::uint32_t> result;
    for (std::uint32_t i = first; i <= last; ++i)
        result.push_back(i);
    return result;
}

TEST(ModuleSearchTest, NoModulesTriesAllSixteenIndexesAndListsNothing)
{
    FakeDeviceBus bus;
    const ModuleTable table = searchModules(bus);
    EXPECT_EQ(table.count, 0);
    EXPECT_EQ(bus.triedIndexes, range(0, 15));
    EXPECT_TRUE(bus.calls.empty());
    EXPECT_FALSE(bus.otherClassAsked);
}

TEST(ModuleSearchTest, MoreThanEightModulesListsTheFirstEightAndStops)
{
    FakeDeviceBus bus;
    bus.addModules(0, 19);
    const ModuleTable table = searchModules(bus);
    ASSERT_EQ(table.count, 8);
    EXPECT_EQ(indexesOf(table), range(0, 7));
    EXPECT_EQ(bus.triedIndexes, range(0, 7));
}

TEST(ModuleSearchTest, EightModulesAmongGapsAreTheFirstEightThatOpen)
{
    FakeDeviceBus bus;
    for (std::uint32_t i = 0; i < 20; i += 2)
        bus.serialByIndex[i] = static_cast<std::uint16_t>(i);
    const ModuleTable table = searchModules(bus);
    ASSERT_EQ(table.count, 8);
    EXPECT_EQ(indexesOf(table), (std::vector<std::uint32_t>{0, 2, 4, 6, 8, 10, 12, 14}));
    EXPECT_EQ(bus.triedIndexes, range(0, 14));
}

TEST(ModuleSearchTest, IndexesFromSixteenUpAreNeverTried)
{
    FakeDeviceBus bus;
    bus.addModules(12, 30);
    const ModuleTable table = searchModules(bus);
    EXPECT_EQ(indexesOf(table), range(12, 15));
    EXPECT_EQ(bus.triedIndexes, range(0, 15));
}

TEST(ModuleSearchTest, AnInterfaceThatFailsToOpenLeavesAGap)
{
    FakeDeviceBus bus;
    bus.addModules(0, 3);
    bus.serialByIndex.erase(1);
    const ModuleTable table = searchModules(bus);
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(indexesOf(table), (std::vector<std::uint32_t>{0, 2, 3}));
    EXPECT_EQ(table.entries[1].handle, FakeDeviceBus::handleOf(2));
    EXPECT_EQ(table.entries[1].serialNumber, 1002u);
    // The unused entries stay empty.
    EXPECT_EQ(table.entries[3].handle, kNoDevice);
}

TEST(ModuleSearchTest, EachSerialNumberIsAskedOnTheModulesOwnHandle)
{
    FakeDeviceBus bus;
    bus.serialByIndex = {{1, 11}, {4, 0xFFFF}, {9, 0x8000}};
    const ModuleTable table = searchModules(bus);
    ASSERT_EQ(table.count, 3);
    ASSERT_EQ(bus.calls.size(), 3u);
    const std::uint32_t indexes[] = {1, 4, 9};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bus.calls[i].handle, FakeDeviceBus::handleOf(indexes[i]));
        EXPECT_EQ(bus.calls[i].code, ReqSerialNumber);
        EXPECT_EQ(bus.calls[i].inSize, 0u);
        EXPECT_EQ(bus.calls[i].outSize, 2u);
        EXPECT_EQ(table.entries[i].handle, FakeDeviceBus::handleOf(indexes[i]));
        EXPECT_EQ(table.entries[i].enumerationIndex, indexes[i]);
    }
    // The serial number is the low half of a u32 whose high half is 0.
    EXPECT_EQ(table.entries[0].serialNumber, 11u);
    EXPECT_EQ(table.entries[1].serialNumber, 0xFFFFu);
    EXPECT_EQ(table.entries[2].serialNumber, 0x8000u);
}

TEST(ModuleSearchTest, AFailingSerialNumberRequestStillListsTheModule)
{
    FakeDeviceBus bus;
    bus.addModules(0, 2);
    bus.serialFails = {1};
    const ModuleTable table = searchModules(bus);
    ASSERT_EQ(table.count, 3);
    EXPECT_EQ(table.entries[0].serialNumber, 1000u);
    EXPECT_EQ(table.entries[1].enumerationIndex, 1u);
    EXPECT_EQ(table.entries[1].handle, FakeDeviceBus::handleOf(1));
    EXPECT_EQ(table.entries[1].serialNumber, 0u); // the failed reply is not taken from module 0
    EXPECT_EQ(table.entries[2].serialNumber, 1002u);
}

TEST(ModuleSearchTest, ListLineIsSerialIn18PlacesABlankAndIndexIn25Places)
{
    ModuleEntry entry;
    entry.serialNumber = 1234;
    entry.enumerationIndex = 3;
    EXPECT_EQ(deviceListLine(entry), std::string(14, ' ') + "1234" + " " + std::string(24, ' ') + "3");
    EXPECT_EQ(deviceListLine(entry).size(), 44u);

    entry.serialNumber = 65535;
    entry.enumerationIndex = 15;
    EXPECT_EQ(deviceListLine(entry), std::string(13, ' ') + "65535" + " " + std::string(23, ' ') + "15");

    entry.serialNumber = 0;
    entry.enumerationIndex = 0;
    EXPECT_EQ(deviceListLine(entry), std::string(17, ' ') + "0" + " " + std::string(24, ' ') + "0");
}

} // namespace
} // namespace telvar5
