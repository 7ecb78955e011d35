#include "core/device/HealthWatchBus.h"

#include "protocol/Requests.h"

namespace telvar5 {

bool HealthWatchBus::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize,
                             void* out, std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    const bool done = inner_.control(handle, code, in, inSize, out, outSize, bytesReturned);
    // The enumeration's serial-number requests go to modules not chosen: not the module's health.
    // The monitor's room for a reply is always its record's size: no table look-up on the tick's path.
    if (code != ReqSerialNumber)
        health_.requestDone(code, done, done ? bytesReturned : 0, outSize, done ? 0 : inner_.lastErrorCode());
    return done;
}

} // namespace telvar5
