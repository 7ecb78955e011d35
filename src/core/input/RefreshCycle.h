#pragma once
// One tick of the refresh timer: the counter line, the state of the displayed
// channels, and the reads of every receiving input channel.
#include <bitset>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/analysis/Analysis.h"
#include "core/ScreenState.h"
#include "core/device/ModuleHealth.h"
#include "device/DeviceBus.h"
#include "core/input/ReceptionControl.h"
#include "core/output/OutputControl.h"
#include "core/stimulus/Stimuli.h"

namespace telvar5 {

// What a tick changed that the window must repaint.
struct TickResult {
    bool inputGridChanged = false;   // the displayed input channel was read
    std::bitset<kInputCells> storedCells; // its cells that took a word in this tick
    std::bitset<kChannels> outputWordsChanged; // output channels (bit k: index k) whose words a stimulus changed
};

// A tick first moves the stimuli (generator, replay) on to the present, then
// reads every cell of every receiving channel, in order. Should the
// driver answer so slowly that the reads would take more than half the refresh
// period, the tick stops there and the next one goes on from that cell, so the
// window stays responsive instead of hanging on a slow driver.
class RefreshCycle {
public:
    RefreshCycle(RunState& run, ScreenState& screen, DeviceBus& bus, OutputControl& output,
                 ReceptionControl& reception, Analysis& analysis, Stimuli& stimuli, const MonotonicClock& clock,
                 ModuleHealth& health);
    TickResult Timer1Timer();

private:
    // Reads the cells of one channel from `first` on; returns the cells that
    // took a word, and sets `stoppedAt` to the next cell to read when the
    // time of the tick ran out (kInputCells when the channel was read to its end).
    std::bitset<kInputCells> readChannel(std::size_t ch, std::size_t first, std::int64_t deadlineUs,
                                         std::size_t& stoppedAt);

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    OutputControl& output_;
    ReceptionControl& reception_;
    Analysis& analysis_;
    Stimuli& stimuli_;
    const MonotonicClock& clock_;
    ModuleHealth& health_; // a tick marks the span the health indicator speaks of
    std::size_t resumeChannel_ = 0; // where a tick cut short goes on
    std::size_t resumeCell_ = 0;
    std::size_t readsThisTick_ = 0;
};

} // namespace telvar5
