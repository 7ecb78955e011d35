#pragma once
// The bench protocol: one command line in (read by parseBenchCommand, whose
// header lists the commands), reply lines out, the last being "OK" or
// "ERROR <reason>". Replies:
//
//   modules   per interface: serial, channel counts, initialised?, per channel its
//             state, code, bus and counters, the input each output is wired to
//             ("out 1 -> in 1"), and "faults: ..." when faults are in force
//   log       one request a line: "#SEQ MS ms if=I NAME in=N: BYTES out=GOT/ROOM: BYTES
//             ok|FAILED", then what a fault did: " fault: failed", "vanished",
//             "random", "short N bytes", "delayed N us"
//   sent      the transmitter's state, then "TIME us 0xWORD label LLL" a line, the time
//             in microseconds since the driver started, the label in octal
//   fault     "interface I faults: ..." for each module it touched
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
