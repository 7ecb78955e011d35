#pragma once
// What the program keeps of each output channel's transmission besides the
// module's own answer: the mode the transmission commands set, how a stopped
// or reset module ends it, and the typing lock of the shown channel.
#include <string_view>

#include "core/RunState.h"
#include "core/ScreenState.h"

namespace telvar5 {

// A module stopped or reset (initialisation, stop, a new choice) sends
// nothing: a channel whose cyclic output was started counts as stopped, and
// typing is allowed again.
void endCyclicOutput(RunState& run, ScreenState& screen);
// Typing into the output grid is refused only while the shown channel's cyclic output is started.
bool typingLocked(const RunState& run);
// The grid's typing option follows the shown channel's mode.
void showTypingLock(const RunState& run, ScreenState& screen);
// The words that name an output channel's transmission, as its status line and the module
// overview write them: "выдача остановлена" unless running, else single or cyclic by the mode.
constexpr std::string_view outputModeText(bool running, std::uint16_t mode)
{
    if (!running)
        return "выдача остановлена";
    return mode == kOutputSingle ? "выдача однократная" : "выдача циклическая";
}

} // namespace telvar5
