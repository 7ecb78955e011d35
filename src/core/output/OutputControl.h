#pragma once
// Transmission on the displayed output channel: single and cyclic starts,
// stop, the word update during cyclic output, and the status the refresh
// cycle asks the module for on every tick (UpdateSOstatus).
#include "core/RunState.h"
#include "core/ScreenState.h"
#include "device/DeviceBus.h"

namespace telvar5 {

class OutputControl {
public:
    OutputControl(RunState& run, ScreenState& screen, DeviceBus& bus);

    // Header {ch, 1, 0, size}, ReqSOsingleLoad with the whole record, then ReqSOsinglePusk.
    void SOsinglePuskExecute();
    // Header {ch, size, sizeCopy, 0}, ReqSOciclePusk; no typing into this channel until a stop.
    void SOciclePuskExecute() { startCyclic(); }
    // The same, saying whether the module took the start.
    bool startCyclic();
    void SOstopChannelExecute();

    // Asks the module whether the displayed output channel transmits; rebuilds
    // the output status line and the stop and array controls.
    void UpdateSOstatus();

    // After the bit editor closed on wordIndex: while the displayed channel's
    // cyclic output was started, the word goes to the module at once
    // (ReqSOwordUpdate), whether the user applied or cancelled.
    void sendWordUpdateIfCyclic();
    // Word `index` of channel index ch, as the array holds it, to the module (ReqSOwordUpdate).
    void updateWord(std::size_t ch, std::uint16_t index);

private:
    OutputRecord& record();

    RunState& run_;
    ScreenState& screen_;
    DeviceBus& bus_;
};

} // namespace telvar5
