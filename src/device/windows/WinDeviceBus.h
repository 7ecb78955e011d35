#pragma once
// The real module's driver on Windows: interfaces found through SetupAPI,
// modules opened with CreateFileA, every request one DeviceIoControl call.
#include "device/DeviceBus.h"

namespace telvar5 {

class WinDeviceBus final : public DeviceBus {
public:
    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override;

    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override;

    std::uint32_t lastErrorCode() const override { return lastError_; }

    // CloseHandle. The bus never closes a handle of its own accord: the program
    // keeps the modules it found open until it searches again or ends.
    void closeDevice(DeviceHandle handle) override;

private:
    std::uint32_t lastError_ = 0; // GetLastError of the last failed request
};

} // namespace telvar5
