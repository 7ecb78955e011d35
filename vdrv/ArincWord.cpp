#include "vdrv/ArincWord.h"

#include <bit>
#include <cmath>

namespace telvar5::vdrv {

std::uint32_t encodeBnr(std::uint8_t label, int bits, double resolution, double value, std::uint8_t ssm)
{
    if (bits < 1)
        bits = 1;
    if (bits > kMaxBnrBits)
        bits = kMaxBnrBits;
    const std::int64_t counts = resolution > 0.0 ? std::llround(value / resolution) : 0;
    const std::uint32_t fieldMask = (1u << (bits + 1)) - 1u; // sign and the significant bits
    const std::uint32_t field = static_cast<std::uint32_t>(counts) & fieldMask;
    const int shift = 28 - bits; // 0-based position of the least significant bit
    std::uint32_t word = label;
    word |= field << shift;
    word |= static_cast<std::uint32_t>(ssm & 3u) << 29;
    return withOddParity(word);
}

std::uint32_t withOddParity(std::uint32_t word)
{
    word &= 0x7FFFFFFFu;
    return (std::popcount(word) % 2 == 0) ? (word | 0x80000000u) : word;
}

} // namespace telvar5::vdrv
