#pragma once
// One word the refresh cycle stored, as the capture keeps it. Trivial, so a
// large ring of them costs nothing until written: write CaptureEntry{} for zeros.
#include <cstdint>

namespace telvar5 {

struct CaptureEntry {
    std::int64_t timeUs;  // since the start of reception, monotonic clock
    std::uint32_t tick;   // the refresh counter of the tick that read it
    std::uint32_t word;   // the 32-bit word as the module gave it
    std::uint8_t channel; // input channel number, 1..8
    std::uint8_t cell;    // buffer cell, 0..255
};

} // namespace telvar5
