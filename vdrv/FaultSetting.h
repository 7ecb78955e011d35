#pragma once
// One fault statement: what the bench command "fault IFACE ..." and the
// configuration statement "fault I ..." say after the interface.
//
//   fail [REQUESTS] [all]       every matching request fails
//   fail [REQUESTS] [next] N    the next N matching requests fail (N >= 1)
//   fail [REQUESTS] prob P      each matching request fails with probability P (0..1)
//   random [REQUESTS]           matching requests succeed with random reply bytes
//   short [REQUESTS] [BYTES]    matching requests succeed with BYTES reply bytes, fewer
//                               than the reply record (default: one fewer)
//   slow [REQUESTS] US          matching requests return US microseconds late (0: on time)
//   vanish                      every request fails and the interface cannot be opened
//   restore                     a vanished module comes back; its other faults stay
//   clear                       every fault goes; the module comes back
//   seed S                      the random draws start again from seed S
//
// REQUESTS: request names as the log shows them (ReqSIreadWord) or control
// codes in hex (0x2220EC), separated by commas; absent: every request.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "protocol/Requests.h"

namespace telvar5::vdrv {

// Bit i stands for kRequestTable[i].
using RequestMask = std::uint16_t;
static_assert(kRequestTable.size() <= 16);
inline constexpr RequestMask kEveryRequest = static_cast<RequestMask>((1u << kRequestTable.size()) - 1);
inline constexpr std::uint32_t kMaxFaultDelayUs = 10'000'000;
inline constexpr std::uint32_t kDefaultShortBytes = 0xFFFFFFFFu; // one fewer than the record

enum class FaultKind : std::uint8_t { Fail, Random, Short, Slow, Vanish, Restore, Clear, Seed };
enum class FailMode : std::uint8_t { Always, Count, Probability };

struct FaultSetting {
    FaultKind kind = FaultKind::Clear;
    RequestMask requests = kEveryRequest;
    FailMode failMode = FailMode::Always;
    std::uint32_t count = 0;                     // fail N
    double probability = 0.0;                    // fail prob P
    std::uint32_t shortBytes = kDefaultShortBytes;
    std::uint32_t delayUs = 0;                   // slow
    std::uint64_t seed = 0;
};

// The fields after the interface, e.g. {"fail", "ReqSIreadWord", "prob", "0.1"}.
// Never throws; a field it cannot take gives nullopt and a reason.
std::optional<FaultSetting> parseFaultSetting(std::span<const std::string_view> fields, std::string& error);

// "ReqSIreadWord,ReqSIstate"; empty for every request.
std::string requestListText(RequestMask requests);

// The lines of help on the fault statement, shared by the bench and telvar5-bench.
extern const char* const kFaultUsage;

} // namespace telvar5::vdrv
