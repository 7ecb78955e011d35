#pragma once
// Bit rates of the 8 input and 8 output channels: the items of their lists,
// the short texts that end the status lines, and the 16 codes kept for
// initialisation.
#include <array>
#include <cstdint>
#include <string_view>

#include "core/RunState.h"

namespace telvar5 {

inline constexpr int kFreqCodeCount = 3;
inline constexpr std::array<std::string_view, kFreqCodeCount> kInputFreqItems{
    "12..14,5КГц", "48КГц+/-25%", "100КГц+/-1%"};
inline constexpr std::array<std::string_view, kFreqCodeCount> kOutputFreqItems{
    "12,5КГц+/-1%", "50КГц+/-1%", "100КГц+/-1%"};
// The status line texts, as the format strings print them (each "%%" already one "%").
inline constexpr std::array<std::string_view, kFreqCodeCount> kInputFreqTexts{
    "частота 12..14,5КГц", "частота 48КГц+/-25%", "частота 100КГц+/-1%"};
inline constexpr std::array<std::string_view, kFreqCodeCount> kOutputFreqTexts{
    "частота 12,5КГц+/-1%", "частота 50КГц+/-1%", "частота 100КГц+/-1%"};

// Byte of freqCodes that a list sets: input channel k (0-based) is byte k, output channel k byte 8 + k.
constexpr int inputCodeByte(int channelIndex) { return channelIndex; }
constexpr int outputCodeByte(int channelIndex) { return 8 + channelIndex; }

// cbFreqSI1Change .. cbFreqSO8Change: store the list's item index as the channel's code; nothing else.
void setFreqCode(RunState& run, int codeByte, int itemIndex);
// Rebuild the texts of the displayed channels; a code other than 0..2 leaves the text as it was.
void UpdateSIfreqText(RunState& run);
void UpdateSOfreqText(RunState& run);

} // namespace telvar5
