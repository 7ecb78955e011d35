// What the program relies on of a request that fails, on the path it takes:
// the in-process virtual driver, or with TELVAR5_TEST_BACKEND=platform the
// platform's own (under wine: SetupAPI, CreateFileA and DeviceIoControl to the
// stand-in driver). Wine leaves the caller's count of bytes returned as it was
// when DeviceIoControl fails; the bus must still report no bytes, and a later
// request on the same handle must be answered as usual.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>

#include "device/PlatformDeviceBus.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "support/TestDeviceBus.h"
#include "vdrv/ConfigLoader.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace telvar5 {
namespace {

constexpr std::uint32_t kErrorInvalidFunction = 1;
constexpr std::uint32_t kErrorInvalidParameter = 87;

std::unique_ptr<DeviceBus> busUnderTest()
{
    if (test::platformBackendChosen())
        return createPlatformDeviceBus().bus;
    return std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(
        vdrv::parseConfigText("interface 0 serial 1021 inputs 8 outputs 8\n", ".")));
}

TEST(PlatformPath, AFailedRequestReportsNoBytesAndTheHandleStaysUsable)
{
    const std::unique_ptr<DeviceBus> bus = busUnderTest();
    std::uint32_t error = 0;
    const DeviceHandle handle = bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error);
    ASSERT_NE(handle, kInvalidHandle) << "error " << error;

    struct Case {
        const char* what;
        std::uint32_t code;
        std::uint32_t inSize;
        std::uint32_t outSize;
        std::uint32_t windowsError; // GetLastError after the call
    };
    const Case cases[] = {
        {"a control code the module does not know", controlCode(0x8FF), 0, 2, kErrorInvalidFunction},
        {"an input record of the wrong size", ReqSIstate, 3, 2, kErrorInvalidParameter},
        {"no room for the whole reply", ReqSIreadWord, 6, 2, kErrorInvalidParameter},
    };
    for (const Case& c : cases) {
        std::array<std::uint8_t, 8> in{1, 0, 1, 0, 0, 0, 0, 0};
        std::array<std::uint8_t, 8> out;
        out.fill(0xAA);
        std::uint32_t returned = 77;
        EXPECT_FALSE(bus->control(handle, c.code, in.data(), c.inSize, out.data(), c.outSize, returned)) << c.what;
        EXPECT_EQ(returned, 0u) << c.what;
#ifdef _WIN32
        if (test::platformBackendChosen()) {
            EXPECT_EQ(GetLastError(), c.windowsError) << c.what;
        }
#endif
    }

    NoRecord none;
    ShortReply serial{};
    EXPECT_TRUE(sendRequest(*bus, handle, ReqSerialNumber, none, serial));
    EXPECT_EQ(shortReplyValue(serial), 1021u);
}

} // namespace
} // namespace telvar5
