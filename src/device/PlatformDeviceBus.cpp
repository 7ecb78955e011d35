#include "device/PlatformDeviceBus.h"

#ifdef _WIN32
#include "device/windows/WinDeviceBus.h"
#else
#include "device/virtual/VirtualDeviceBus.h"
#endif

namespace telvar5 {

std::unique_ptr<DeviceBus> createPlatformDeviceBus()
{
#ifdef _WIN32
    return std::make_unique<WinDeviceBus>();
#else
    return VirtualDeviceBus::fromInstalledConfig();
#endif
}

} // namespace telvar5
