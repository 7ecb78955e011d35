#pragma once
// ARINC 429 bus speeds and how the module's bit-rate codes relate to them.
// A word takes 36 bit times on the bus: 32 bits and a gap of 4.
#include <cstdint>
#include <optional>
#include <string_view>

#include "vdrv/Clock.h"

namespace telvar5::vdrv {

enum class BusSpeed : std::uint8_t {
    Low,  // 12.5 kbit/s (the low-speed band 12..14.5)
    Mid,  // 50 kbit/s
    High, // 100 kbit/s
};

inline constexpr std::uint8_t kMaxRateCode = 2;

constexpr Micros wordTimeUs(BusSpeed speed)
{
    switch (speed) {
    case BusSpeed::Low: return 2880;
    case BusSpeed::Mid: return 720;
    case BusSpeed::High: return 360;
    }
    return 2880;
}

// Input codes: 0 = 12..14.5 kHz, 1 = 48 kHz +/-25 % (36..60), 2 = 100 kHz.
// Each band holds exactly one of the three bus speeds.
constexpr bool inputCodeTakes(std::uint8_t code, BusSpeed speed)
{
    return code <= kMaxRateCode && static_cast<std::uint8_t>(speed) == code;
}

// Output codes: 0 = 12.5, 1 = 50, 2 = 100 kHz.
constexpr BusSpeed outputCodeSpeed(std::uint8_t code)
{
    return code == 2 ? BusSpeed::High : code == 1 ? BusSpeed::Mid : BusSpeed::Low;
}

constexpr std::string_view busSpeedName(BusSpeed speed)
{
    switch (speed) {
    case BusSpeed::Low: return "low";
    case BusSpeed::Mid: return "mid";
    case BusSpeed::High: return "high";
    }
    return "?";
}

inline std::optional<BusSpeed> busSpeedFromName(std::string_view name)
{
    if (name == "low")
        return BusSpeed::Low;
    if (name == "mid")
        return BusSpeed::Mid;
    if (name == "high")
        return BusSpeed::High;
    return std::nullopt;
}

} // namespace telvar5::vdrv
