#include "RequestWatch.h"

#include "protocol/Requests.h"

namespace telvar5::cli {

namespace {
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorNoMoreItems = 259; // no interface of that index
} // namespace

DeviceHandle RequestWatch::openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                             std::uint32_t& errorCode)
{
    if (!inner_) {
        errorCode = kErrorFileNotFound;
        return kInvalidHandle;
    }
    if (index == 0)
        failedOpens_.clear();
    const DeviceHandle handle = inner_->openDeviceByIndex(interfaceClass, index, errorCode);
    if (handle == kInvalidHandle && errorCode != kErrorNoMoreItems && errorCode != kErrorFileNotFound)
        failedOpens_.emplace_back(index, errorCode);
    return handle;
}

bool RequestWatch::control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                           std::uint32_t outSize, std::uint32_t& bytesReturned)
{
    bytesReturned = 0;
    const bool done = inner_ && inner_->control(handle, code, in, inSize, out, outSize, bytesReturned);
    ++requests_;
    if (!replyReceived(code, done, bytesReturned, outSize)) {
        ++failures_;
        lastFailedCode_ = code;
    }
    return done;
}

} // namespace telvar5::cli
