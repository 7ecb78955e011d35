#pragma once
// Which input of the module each output is wired to, so that the module hears
// what it transmits. An ARINC 429 bus carries one transmitter: an input is
// wired to one output at most.
#include <array>
#include <cstdint>

#include "vdrv/DriverConfig.h"

namespace telvar5::vdrv {

class LoopbackWiring {
public:
    LoopbackWiring() { clear(); }
    // Wires to channels the module lacks are dropped; when two outputs name the
    // same input, the first keeps it (the configuration refuses that anyway).
    LoopbackWiring(const OutputWires& wires, int inputs, int outputs);

    // The input index 0..7 that output index 0..7 feeds, or -1.
    int inputOf(int output) const { return inputOf_[static_cast<std::size_t>(output)]; }
    // The output index 0..7 wired to input index 0..7, or -1.
    int outputOf(int input) const { return outputOf_[static_cast<std::size_t>(input)]; }

private:
    void clear();

    std::array<std::int8_t, kMaxChannels> inputOf_{};
    std::array<std::int8_t, kMaxChannels> outputOf_{};
};

} // namespace telvar5::vdrv
