#pragma once
// The host's side of the stand-in driver: one request handed over by the
// driver (open, close, device control of a program) answered through the
// virtual driver library, as the program would be answered in-process. Plain
// C++: the same answers on Linux, where the tests run it without wine.
#include <cstddef>
#include <cstdint>
#include <ostream>

#include "standin/StandInExchange.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::standin {

// Windows error codes the host answers with; the driver turns each into the
// status the program's call fails with.
inline constexpr std::uint32_t kErrorInvalidFunction = 1;    // a control code no module knows
inline constexpr std::uint32_t kErrorInvalidHandle = 6;      // a handle the virtual driver never gave
inline constexpr std::uint32_t kErrorGenFailure = 31;        // the module refused the request
inline constexpr std::uint32_t kErrorInvalidParameter = 87;  // record sizes other than the request's
inline constexpr std::uint32_t kErrorIoDevice = 1117;        // a configured fault failed it
inline constexpr std::uint32_t kErrorDeviceNotConnected = 1167; // the module has vanished

class StandInServer {
public:
    // journal: one line per request (RequestJournal); null for none.
    StandInServer(vdrv::VirtualDriver& driver, std::ostream* journal);

    // Answers the request of requestBytes bytes into reply; returns the bytes
    // of reply to hand back (header and data). A request that is not whole or
    // not of this exchange is answered with ERROR_INVALID_PARAMETER.
    std::size_t answer(const T5siRequest& request, std::size_t requestBytes, T5siReply& reply);

    std::uint64_t answered() const { return answered_; }
    std::uint64_t failed() const { return failed_; }

private:
    std::uint32_t control(const T5siRequest& request, T5siReply& reply);
    std::uint32_t whyFailed(const T5siRequest& request);

    vdrv::VirtualDriver& driver_;
    std::ostream* journal_;
    std::uint64_t answered_ = 0;
    std::uint64_t failed_ = 0;
};

} // namespace telvar5::standin
