#include "device/virtual/VirtualDeviceBus.h"

namespace telvar5 {

VirtualDeviceBus::VirtualDeviceBus(std::shared_ptr<vdrv::VirtualDriver> driver)
    : driver_(driver ? std::move(driver) : std::make_shared<vdrv::VirtualDriver>(vdrv::DriverConfig{}))
{
}

VirtualDeviceBus::VirtualDeviceBus(const std::filesystem::path& configPath)
    : driver_(vdrv::VirtualDriver::fromConfigFile(configPath))
{
}

std::unique_ptr<DeviceBus> VirtualDeviceBus::fromInstalledConfig()
{
    // Configuration errors are the bench's business (telvar5-bench check); the
    // program goes on with whatever the valid lines describe.
    return std::make_unique<VirtualDeviceBus>(vdrv::VirtualDriver::fromInstalledConfig());
}

DeviceHandle VirtualDeviceBus::openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                                 std::uint32_t& errorCode)
{
    return driver_->openDeviceByIndex(interfaceClass, index, errorCode);
}

bool VirtualDeviceBus::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                               void* out, std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    return driver_->control(handle, code, in, inSize, out, outSize, bytesReturned);
}

void VirtualDeviceBus::closeDevice(DeviceHandle handle) { driver_->closeHandle(handle); }

} // namespace telvar5
