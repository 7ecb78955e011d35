#pragma once
// The one door to the module's driver: open the index-th present device
// interface of a class, and exchange one synchronous request on an open handle.
// On Windows it is SetupAPI + CreateFileA + DeviceIoControl; on Linux the
// virtual TELVAR-5 driver, called in-process as a kernel driver would be.
#include <array>
#include <cstdint>

#include "protocol/DeviceInterface.h"
#include "protocol/Requests.h"

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

    // The system's error code of the last request that failed, where the
    // platform tells one (Windows); 0 when it is not known.
    virtual std::uint32_t lastErrorCode() const { return 0; }

    // Gives back a handle openDeviceByIndex returned; it is not used again.
    // A module that vanished leaves its handles dead for good, so a new search
    // closes the old ones. A bus whose handles hold nothing of the system's
    // may leave this as it is.
    virtual void closeDevice(DeviceHandle handle) { (void)handle; }
};

// Typed request over fixed-size records. An absent record is an empty array.
// The reply counts as received when the driver's count covers the bytes the
// program reads of it (replyReceived). The reply area is zeroed first and every
// byte past the count reads as zero, so no caller ever finds what an earlier
// request, or a driver writing past its own count, left there; a reply not
// received is all zero.
template <std::size_t In, std::size_t Out>
bool sendRequest(DeviceBus& bus, DeviceHandle handle, std::uint32_t code,
                 const std::array<std::uint8_t, In>& in, std::array<std::uint8_t, Out>& out)
{
    out.fill(0);
    std::uint32_t returned = 0;
    const bool done = bus.control(handle, code, In ? in.data() : nullptr, static_cast<std::uint32_t>(In),
                                  Out ? out.data() : nullptr, static_cast<std::uint32_t>(Out), returned);
    if (!replyReceived(code, done, returned, static_cast<std::uint32_t>(Out))) {
        out.fill(0);
        return false;
    }
    for (std::size_t i = returned; i < Out; ++i)
        out[i] = 0;
    return true;
}

using NoRecord = std::array<std::uint8_t, 0>;

} // namespace telvar5
