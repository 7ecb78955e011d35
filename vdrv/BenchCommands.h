#pragma once
// The bench protocol: one command line in, reply lines out, the last being
// "OK" or "ERROR <reason>". Commands:
//
//   modules                       every interface: serial, channel counts, initialised?,
//                                 per channel its state, code, bus and counters, and
//                                 the input each output is wired to ("out 1 -> in 1")
//   log [N] [clear]               the last N requests (all kept when N is absent), then clear
//   inject IFACE CHANNEL WORD...  hex words arrive on an input channel now, in order
//   sent IFACE CHANNEL [N]        the transmitter's state and the last N words sent (default 64),
//                                 one a line: "TIME us 0xWORD label LLL", the time in
//                                 microseconds since the driver started, the label in octal
//   fault IFACE fail N|all        the next N (or all) requests on the module fail
//   fault IFACE vanish            every request fails and the interface cannot be opened
//   fault IFACE clear             the module works again
//   help
//
// IFACE is an interface index 0..15; "fault" also takes "all".
#include <string>

namespace telvar5::vdrv {

class VirtualDriver;

class BenchCommands {
public:
    explicit BenchCommands(VirtualDriver& driver) : driver_(driver) {}
    std::string execute(const std::string& line);

private:
    VirtualDriver& driver_;
};

} // namespace telvar5::vdrv
