#pragma once
// The bus as the monitor sees it, with a count of the requests that failed.
// The core takes a failed request quietly (a cell keeps its word, a state
// reads as stopped), as the window must; a bench run must not, so the CLI
// looks at these counts after each of its own requests and after each tick.
#include <cstdint>
#include <utility>
#include <vector>

#include "device/DeviceBus.h"

namespace telvar5::cli {

class RequestWatch final : public DeviceBus {
public:
    explicit RequestWatch(DeviceBus* inner) : inner_(inner) {}

    DeviceHandle openDeviceByIndex(const Guid& interfaceClass, std::uint32_t index,
                                   std::uint32_t& errorCode) override;
    // Passes the request on and returns the driver's answer unchanged; a
    // request counts as failed as sendRequest judges it (replyReceived).
    bool control(DeviceHandle handle, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize, std::uint32_t& bytesReturned) override;
    // Passed on: the system's error of the last failed request, and a search's closing of dead handles.
    std::uint32_t lastErrorCode() const override { return inner_ ? inner_->lastErrorCode() : 0; }
    void closeDevice(DeviceHandle handle) override
    {
        if (inner_)
            inner_->closeDevice(handle);
    }

    std::uint64_t requests() const { return requests_; }
    std::uint64_t failures() const { return failures_; }
    std::uint32_t lastFailedCode() const { return lastFailedCode_; }
    // The interfaces of the latest search that are there but would not open,
    // with the system's error: {interface index, error}. A search tries the
    // indexes from 0, so an open of index 0 begins the list anew.
    const std::vector<std::pair<std::uint32_t, std::uint32_t>>& failedOpens() const { return failedOpens_; }

private:
    DeviceBus* inner_;
    std::uint64_t requests_ = 0;
    std::uint64_t failures_ = 0;
    std::uint32_t lastFailedCode_ = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> failedOpens_;
};

} // namespace telvar5::cli
