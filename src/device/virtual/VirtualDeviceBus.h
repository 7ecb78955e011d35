#pragma once
// DeviceBus over the virtual TELVAR-5 driver: the Linux backend, and on any
// platform the one a program is asked to use instead of the module's driver.
// The calls go straight into the driver library, as a system call reaches a
// kernel driver.
#include <filesystem>
#include <memory>

#include "device/DeviceBus.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5 {

class VirtualDeviceBus final : public DeviceBus {
public:
    explicit VirtualDeviceBus(std::shared_ptr<vdrv::VirtualDriver> driver);
    // A driver for the configuration file at path (none there: no module installed).
    explicit VirtualDeviceBus(const std::filesystem::path& configPath);

    // The driver as installed: ./telvar5-vdrv.conf, else /etc/telvar5/telvar5-vdrv.conf.
    static std::unique_ptr<DeviceBus> fromInstalledConfig();

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override;
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override;
    void closeDevice(DeviceHandle handle) override;

    vdrv::VirtualDriver& driver() { return *driver_; }
    const std::shared_ptr<vdrv::VirtualDriver>& sharedDriver() const { return driver_; }

private:
    std::shared_ptr<vdrv::VirtualDriver> driver_;
};

} // namespace telvar5
