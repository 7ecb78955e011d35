#include "core/device/HealthWatchBus.h"

#include "protocol/Requests.h"

namespace telvar5 {

bool HealthWatchBus::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                             void* out, std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    const bool done = inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
    // The enumeration's serial-number requests go to modules not chosen: not the module's health.
    if (code != ReqSerialNumber) {
        const RequestInfo* info = findRequest(code);
        health_.requestDone(code, done, done ? bytesReturned : 0, info ? info->outSize : outSize,
                            done ? 0 : inner_.lastErrorCode());
    }
    return done;
}

} // namespace telvar5
