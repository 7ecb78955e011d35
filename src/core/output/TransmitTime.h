#pragma once
// How long an output array takes on the bus: 36 bit times per word, 2880, 720
// or 360 microseconds at the output codes 0, 1 and 2 (12.5, 50, 100 kHz).
#include <cstdint>
#include <string>

#include "core/RunState.h"
#include "core/ScreenState.h"

namespace telvar5 {

std::int32_t outputWordTimeUs(std::uint8_t outputCode);
// "%5.1f мс (%3d слов ПК)": the time of `words` words in milliseconds, and the count.
std::string transmitTimeText(std::int32_t wordTimeUs, int words);
// The displayed output channel's word time and the time of its whole array.
void UpdateSOtimeText(const RunState& run, ScreenState& screen);

} // namespace telvar5
