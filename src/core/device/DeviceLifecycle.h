#pragma once
// Initialising and stopping the chosen module, and the last word to it when
// the main window closes.
#include "core/RunState.h"
#include "core/ScreenState.h"
#include "device/DeviceBus.h"

namespace telvar5 {

class DeviceLifecycle {
public:
    DeviceLifecycle(RunState& run, ScreenState& screen, DeviceBus& bus);

    // DeviceInitializationExecute: command states, titles, channel 1 on both
    // sides, empty input buffers, the 16 codes to the module, the texts and
    // label formats of channel 1, the counter at 0 and the refresh timer on.
    void DeviceInitializationExecute();
    // DeviceResetExecute: timer off, commands back, the module stopped, status texts cleared.
    void DeviceResetExecute();
    // FormClose of the main window: stop the module if one was ever chosen.
    void FormClose();

private:
    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
};

} // namespace telvar5
