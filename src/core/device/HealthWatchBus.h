#pragma once
// The bus the monitor's subsystems talk through: every request goes on to the
// driver unchanged, and how it went is told to the module's health.
#include "core/device/ModuleHealth.h"
#include "device/DeviceBus.h"

namespace telvar5 {

class HealthWatchBus final : public DeviceBus {
public:
    HealthWatchBus(DeviceBus& inner, ModuleHealth& health) : inner_(inner), health_(health) {}

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override
    {
        return inner_.openDeviceByIndex(interfaceClass, index, errorCode);
    }

    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override;

    std::uint32_t lastErrorCode() const override { return inner_.lastErrorCode(); }
    void closeDevice(DeviceHandle handle) override { inner_.closeDevice(handle); }

private:
    DeviceBus& inner_;
    ModuleHealth& health_;
};

} // namespace telvar5
