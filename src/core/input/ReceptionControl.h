#pragma once
// Reception on the displayed input channel: start in address or file mode,
// stop, the input status line, and the switch of input tabs.
#include "core/MonotonicClock.h"
#include "core/RunState.h"
#include "core/analysis/Analysis.h"
#include "core/ScreenState.h"
#include "device/DeviceBus.h"

namespace telvar5 {

class ReceptionControl {
public:
    ReceptionControl(RunState& run, ScreenState& screen, DeviceBus& bus, Analysis& analysis,
                     const MonotonicClock& clock);

    void SIaddressPuskExecute();
    void SIfilePuskExecute();
    void SIstopChannelExecute();
    // Asks the module whether the displayed channel receives; rebuilds the status line and the stop controls.
    void UpdateSIstatus();
    // Another input tab selected (0..7): title, bit-rate text and label formats follow it.
    void SIChange(int tabIndex);

private:
    void start(std::uint16_t mode, std::uint32_t request);
    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
    Analysis& analysis_;
    const MonotonicClock& clock_;
};

} // namespace telvar5
