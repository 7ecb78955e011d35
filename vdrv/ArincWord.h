#pragma once
// Building ARINC 429 words as the devices on a bus send them.
#include <cstdint>

namespace telvar5::vdrv {

inline constexpr std::uint8_t kSsmNormal = 3; // BNR: bits 31,30 = 11 normal operation
inline constexpr int kMaxBnrBits = 20;        // bits 9..28 at most below the sign

// A BNR word: label in bits 1..8, the value as a two's complement field of
// `bits` significant bits with the most significant at bit 28 and the sign at
// bit 29, SSM in bits 30..31 and odd parity in bit 32. The value is rounded to
// the resolution and wraps around the field, as angles do (270 deg is -90 deg).
std::uint32_t encodeBnr(std::uint8_t label, int bits, double resolution, double value, std::uint8_t ssm);

// Bit 32 set so that the word has an odd number of ones.
std::uint32_t withOddParity(std::uint32_t word);

} // namespace telvar5::vdrv
