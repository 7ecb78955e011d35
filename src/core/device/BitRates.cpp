#include "core/device/BitRates.h"

namespace telvar5 {

void setFreqCode(RunState& run, int codeByte, int itemIndex)
{
    // Lists offer only items 0..2; anything else (no selection, a bad byte) is ignored.
    if (codeByte < 0 || codeByte >= static_cast<int>(run.freqCodes.size()) || itemIndex < 0
        || itemIndex >= kFreqCodeCount)
        return;
    run.freqCodes[static_cast<std::size_t>(codeByte)] = static_cast<std::uint8_t>(itemIndex);
}

void UpdateSIfreqText(RunState& run)
{
    const std::uint8_t code = run.freqCodes[static_cast<std::size_t>(inputCodeByte(run.curInputIndex % kChannels))];
    if (code < kFreqCodeCount)
        run.siFreqText = kInputFreqTexts[code];
}

void UpdateSOfreqText(RunState& run)
{
    const std::uint8_t code = run.freqCodes[static_cast<std::size_t>(outputCodeByte(run.curOutputIndex % kChannels))];
    if (code < kFreqCodeCount)
        run.soFreqText = kOutputFreqTexts[code];
}

} // namespace telvar5
