#pragma once
// Transmission on the displayed output channel. The refresh cycle asks the
// module for the channel's state on every tick through UpdateSOstatus.
#include "core/RunState.h"
#include "core/ScreenState.h"
#include "device/DeviceBus.h"

namespace telvar5 {

class OutputControl {
public:
    OutputControl(RunState& run, ScreenState& screen, DeviceBus& bus);

    // Asks the module whether the displayed output channel transmits; rebuilds
    // the output status line and the stop and array controls.
    void UpdateSOstatus();

private:
    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
};

} // namespace telvar5
