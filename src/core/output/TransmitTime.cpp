#include "core/output/TransmitTime.h"

#include <cstdio>

namespace telvar5 {

std::int32_t outputWordTimeUs(std::uint8_t outputCode)
{
    // 36 bit times: 2880 us at 12.5 kHz, 720 / code at 50 and 100 kHz. A code
    // no list offers is taken as the slowest rate.
    if (outputCode == 1 || outputCode == 2)
        return 720 / outputCode;
    return 2880;
}

std::string transmitTimeText(std::int32_t wordTimeUs, int words)
{
    // "%5.1f" in whole tenths of a millisecond, so the text keeps its point
    // whatever locale the toolkit set (n x t never ends in exactly 50 us, so
    // rounding half up matches printf's rounding).
    const long long tenths = (static_cast<long long>(words) * wordTimeUs + 50) / 100;
    char text[64];
    std::snprintf(text, sizeof text, "%3lld.%lld мс (%3d слов ПК)", tenths / 10, tenths % 10, words);
    return text;
}

void UpdateSOtimeText(const RunState& run, ScreenState& screen)
{
    const std::size_t ch = run.curOutputIndex % kChannels;
    screen.soWordTimeUs = outputWordTimeUs(run.freqCodes[8 + ch]);
    screen.soTimeText = transmitTimeText(screen.soWordTimeUs, run.arraySize[ch]);
}

} // namespace telvar5
