#pragma once
// Initialising and stopping the chosen module, and the last word to it when
// the main window closes.
#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"
#include "core/analysis/Analysis.h"
#include "core/device/ModuleHealth.h"
#include "device/DeviceBus.h"

namespace telvar5 {

inline constexpr const char* kInitialisationFailedTitle = "Инициализация устройства";

class DeviceLifecycle {
public:
    // health: what the requests on bus showed (the bus reports to it).
    DeviceLifecycle(RunState& run, ScreenState& screen, DeviceBus& bus, UserPrompts& prompts,
                    const ModuleHealth& health, Analysis& analysis, const MonotonicClock& clock);

    // DeviceInitializationExecute: the 16 codes to the module, then command
    // states, titles, channel 1 on both sides, empty input buffers and label
    // statistics, the texts and label formats of channel 1, the counter at 0
    // and the refresh timer on. A module that does not take the codes is not
    // initialised: the user is told, and everything stays as it was.
    void DeviceInitializationExecute();
    // DeviceResetExecute: timer off, commands back, the module stopped, status texts cleared.
    void DeviceResetExecute();
    // FormClose of the main window: stop the module if one was ever chosen.
    void FormClose();

private:
    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    UserPrompts& prompts_;
    const ModuleHealth& health_;
    Analysis& analysis_;
    const MonotonicClock& clock_;
};

} // namespace telvar5
