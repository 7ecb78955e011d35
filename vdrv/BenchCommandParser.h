#pragma once
// The bench protocol's reading of one command line: text in, a command with
// its arguments or the reason it is not one out. Pure: no driver, no socket,
// no state, never throws; any bytes are safe input (a fuzz target calls it).
//
//   modules                       every interface, its channels and the faults in force
//   log [N] [clear]               the last N requests (all kept when N is absent), then clear
//   inject IFACE CHANNEL WORD...  hex words arrive on an input channel now, in order
//   sent IFACE CHANNEL [N]        the transmitter's state and the last N words sent (default 64)
//   fault IFACE|all ...           a fault statement (vdrv/FaultSetting.h)
//   help
//
// IFACE is an interface index 0..15; CHANNEL 1..8.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vdrv/FaultSetting.h"

namespace telvar5::vdrv {

inline constexpr std::size_t kDefaultSentWords = 64;
inline constexpr std::size_t kMaxInjectWords = 1024;

struct BenchCommand {
    enum class Kind : std::uint8_t { Modules, Log, Inject, Sent, Fault, Help };
    Kind kind = Kind::Help;
    int interfaceIndex = 0;              // inject, sent, fault (kAllInterfaces: fault all)
    int channel = 0;                     // inject, sent: 1..8
    std::optional<std::size_t> count;    // log N, sent N
    bool clearLog = false;               // log clear
    std::vector<std::uint32_t> words;    // inject
    FaultSetting fault;                  // fault
};

struct BenchParseResult {
    std::optional<BenchCommand> command; // empty when the line is no command
    std::string error;                   // why not: a short line for an "ERROR" reply
};

BenchParseResult parseBenchCommand(std::string_view line);

} // namespace telvar5::vdrv
