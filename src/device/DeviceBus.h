#pragma once
// The one door to the module's driver: open the index-th present device
// interface of a class, and exchange one synchronous request on an open handle.
// On Windows it is SetupAPI + CreateFileA + DeviceIoControl; on Linux the
// virtual TELVAR-5 driver, called in-process as a kernel driver would be.
#include <array>
#include <cstdint>

#include "protocol/DeviceInterface.h"

namespace telvar5 {

class DeviceBus {
public:
    virtual ~DeviceBus() = default;

    // Opens the index-th present interface of the class. On failure returns
    // kInvalidHandle and sets errorCode (a system error code); on success errorCode is 0.
    virtual DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                           std::uint32_t& errorCode) = 0;

    // One synchronous request. Returns whether the driver completed it;
    // bytesReturned tells how much of out it wrote. in/out may be null with size 0.
    virtual bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                         void* out, std::uint32_t outSize, std::uint32_t& bytesReturned) = 0;
};

// Typed request over fixed-size records. An absent record is an empty array.
// A reply shorter than its record counts as a failed request, whatever the
// driver said; a failed request leaves the reply all zero, so no caller ever
// reads what an earlier request left there.
template <std::size_t In, std::size_t Out>
bool sendRequest(DeviceBus& bus, DeviceHandle handle, std::uint32_t code,
                 const std::array<std::uint8_t, In>& in, std::array<std::uint8_t, Out>& out)
{
    std::uint32_t returned = 0;
    const bool done = bus.control(handle, code, In ? in.data() : nullptr, static_cast<std::uint32_t>(In),
                                  Out ? out.data() : nullptr, static_cast<std::uint32_t>(Out), returned);
    if (done && returned == Out)
        return true;
    out.fill(0);
    return false;
}

using NoRecord = std::array<std::uint8_t, 0>;

} // namespace telvar5
