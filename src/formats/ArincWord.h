#pragma once
// Fields of a 32-bit ARINC word; bits are numbered 1 (least significant) to 32.
#include <bit>
#include <cstdint>

namespace telvar5 {

inline constexpr std::uint32_t wordLabel(std::uint32_t word) { return word & 0xFFu; }
inline constexpr std::uint32_t wordCode(std::uint32_t word) { return word >> 8; }
inline constexpr std::uint32_t wordSsm(std::uint32_t word) { return (word >> 29) & 3u; }
// Bits 9..10: the source/destination identifier.
inline constexpr std::uint32_t wordSdi(std::uint32_t word) { return (word >> 8) & 3u; }
// ARINC 429 words carry odd parity: bit 32 makes the count of ones odd.
inline constexpr bool wordParityOdd(std::uint32_t word) { return std::popcount(word) % 2 == 1; }

// Bit n of the word. A format read from a damaged file may name bits outside
// 1..32; such a bit lies outside the word and reads as 0.
inline constexpr std::uint32_t wordBit(std::uint32_t word, int n)
{
    return (n >= 1 && n <= 32) ? (word >> (n - 1)) & 1u : 0u;
}

// The value of bit n, 2^(n-1), modulo 2^32: 0 for a bit outside 1..32.
inline constexpr std::uint32_t bitValue(int n)
{
    return (n >= 1 && n <= 32) ? std::uint32_t{1} << (n - 1) : 0u;
}

} // namespace telvar5
