#pragma once
// One tick of the refresh timer: the counter line, the state of the displayed
// channels, and the reads of every receiving input channel.
#include <bitset>

#include "core/RunState.h"
#include "core/ScreenState.h"
#include "device/DeviceBus.h"
#include "core/input/ReceptionControl.h"
#include "core/output/OutputControl.h"

namespace telvar5 {

// What a tick changed that the window must repaint.
struct TickResult {
    bool inputGridChanged = false;   // the displayed input channel was read
    std::bitset<kInputCells> storedCells; // its cells that took a word in this tick
};

class RefreshCycle {
public:
    RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, OutputControl& output,
                 ReceptionControl& reception);
    TickResult Timer1Timer();

private:
    // Reads the 256 cells of one channel; returns the cells that took a word.
    std::bitset<kInputCells> readChannel(std::size_t ch);

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    OutputControl& output_;
    ReceptionControl& reception_;
};

} // namespace telvar5
