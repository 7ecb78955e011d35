#pragma once
// The core of the monitor: the run state, what the window shows, and the
// subsystems that carry out every command. The main window owns one Monitor
// and forwards each handler to it; tests drive it without any widget.
#include <filesystem>

#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/ScreenState.h"
#include "core/UserPrompts.h"
#include "core/analysis/Analysis.h"
#include "core/analysis/CaptureCommands.h"
#include "device/DeviceBus.h"
#include "core/device/DeviceChoice.h"
#include "core/device/DeviceLifecycle.h"
#include "core/device/HealthWatchBus.h"
#include "core/device/SettlingBus.h"
#include "core/device/ModuleHealth.h"
#include "core/formats/FormatListEditor.h"
#include "core/formats/ParamFormatEditor.h"
#include "core/input/ReceptionControl.h"
#include "core/input/RefreshCycle.h"
#include "core/output/OutputArrays.h"
#include "core/output/OutputControl.h"
#include "core/output/OutputGrid.h"
#include "core/output/WordBitEditor.h"
#include "core/stimulus/Stimuli.h"

namespace telvar5 {

class Monitor {
public:
    // The main window's construction: run state at its start values, the
    // formats settings file read from the current directory, period 500 ms.
    Monitor(DeviceBus& bus, UserPrompts& prompts, const MonotonicClock& clock = SteadyClock::instance());
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    RunState& run() { return run_; }
    const RunState& run() const { return run_; }
    ScreenState& screen() { return screen_; }
    const ScreenState& screen() const { return screen_; }
    // The bus every subsystem talks through (the module's health watches it,
    // and a tick's reads on the device thread finish before any of its requests).
    DeviceBus& bus() { return settlingBus_; }
    const ModuleHealth& health() const { return health_; }
    UserPrompts& prompts() { return prompts_; }

    DeviceChoice& deviceChoice() { return deviceChoice_; }
    DeviceLifecycle& lifecycle() { return lifecycle_; }
    ReceptionControl& reception() { return reception_; }
    OutputControl& output() { return output_; }
    OutputArrays& outputArrays() { return outputArrays_; }
    OutputGrid& outputGrid() { return outputGrid_; }
    WordBitEditor& bitEditor() { return bitEditor_; }
    FormatListEditor& formatList() { return formatList_; }
    ParamFormatEditor& paramFormats() { return paramFormats_; }
    RefreshCycle& refresh() { return refresh_; }
    Analysis& analysis() { return analysis_; }
    CaptureCommands& capture() { return capture_; }
    Stimuli& stimuli() { return stimuli_; }
    const MonotonicClock& clock() const { return clock_; }

    // TimerPeriodExecute after the dialog: the timer takes refreshPeriodMs.
    void setRefreshPeriod(std::int32_t periodMs);

private:
    ModuleHealth health_;
    HealthWatchBus watchedBus_;
    SettlingBus settlingBus_;
    UserPrompts& prompts_;
    const MonotonicClock& clock_;
    RunState run_;
    Analysis analysis_;
    ScreenState screen_;
    DeviceChoice deviceChoice_;
    DeviceLifecycle lifecycle_;
    ReceptionControl reception_;
    OutputControl output_;
    OutputArrays outputArrays_;
    OutputGrid outputGrid_;
    WordBitEditor bitEditor_;
    FormatListEditor formatList_;
    ParamFormatEditor paramFormats_;
    Stimuli stimuli_;
    RefreshCycle refresh_;
    CaptureCommands capture_;
};

} // namespace telvar5
