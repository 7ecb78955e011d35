#include "core/output/OutputModes.h"

namespace telvar5 {

void endCyclicOutput(RunState& run, ScreenState& screen)
{
    for (std::uint16_t& mode : run.outputMode)
        if (mode == kOutputCyclic)
            mode = kOutputStopped;
    showTypingLock(run, screen);
}

bool typingLocked(const RunState& run) { return run.outputMode[run.curOutputIndex % kChannels] == kOutputCyclic; }

void showTypingLock(const RunState& run, ScreenState& screen) { screen.outputGridEditable = !typingLocked(run); }

} // namespace telvar5
