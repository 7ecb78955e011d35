#pragma once
// The bus every command talks through: before any request it lets a tick
// whose reads go on on the device thread finish, so that a command's
// requests go out between ticks, never inside one, and only one thread talks
// to the driver at a time.
#include <functional>
#include <utility>

#include "device/DeviceBus.h"

namespace telvar5 {

class SettlingBus final : public DeviceBus {
public:
    explicit SettlingBus(DeviceBus& inner) : inner_(inner) {}

    // Called before every request: waits for a tick's reads and completes the tick.
    void setSettle(std::function<void()> settle) { settle_ = std::move(settle); }

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override
    {
        settleTick();
        return inner_.openDeviceByIndex(interfaceClass, index, errorCode);
    }
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override
    {
        settleTick();
        return inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
    }
    std::uint32_t lastErrorCode() const override { return inner_.lastErrorCode(); }
    void closeDevice(DeviceHandle handle) override
    {
        settleTick();
        inner_.closeDevice(handle);
    }

private:
    void settleTick()
    {
        if (settle_)
            settle_();
    }

    DeviceBus& inner_;
    std::function<void()> settle_;
};

} // namespace telvar5
