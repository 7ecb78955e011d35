#pragma once
// The bus an end-to-end test runs on. By default the in-process virtual driver
// of the test's configuration file. With TELVAR5_TEST_BACKEND=platform, the
// platform's own path to the module, as the program takes it without options:
// on Windows SetupAPI, CreateFileA and DeviceIoControl (under wine, the
// stand-in driver answered by the same configuration), on Linux the installed
// virtual driver. The same tests then prove both paths.
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "device/PlatformDeviceBus.h"
#include "device/virtual/VirtualDeviceBus.h"

namespace telvar5::test {

inline bool platformBackendChosen()
{
    const char* backend = std::getenv("TELVAR5_TEST_BACKEND");
    return backend != nullptr && std::string_view(backend) == "platform";
}

inline std::unique_ptr<DeviceBus> testDeviceBus(const std::string& virtualModuleConfig)
{
    if (platformBackendChosen())
        return createPlatformDeviceBus().bus;
    return std::make_unique<VirtualDeviceBus>(virtualModuleConfig);
}

} // namespace telvar5::test
