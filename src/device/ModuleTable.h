#pragma once
// The modules found at start-up, in enumeration order (at most 8).
#include <array>
#include <cstdint>

#include "device/DeviceBus.h"

namespace telvar5 {

inline constexpr std::size_t kMaxModules = 8;
inline constexpr std::uint32_t kMaxInterfaceIndex = 16; // indexes 0..15 are tried

struct ModuleEntry {
    DeviceHandle handle = kNoDevice;
    std::uint32_t enumerationIndex = 0; // shown as "Порядковый №"
    std::uint32_t serialNumber = 0;     // low 16 bits from ReqSerialNumber
};

struct ModuleTable {
    std::array<ModuleEntry, kMaxModules> entries{};
    std::uint8_t count = 0;
};

} // namespace telvar5
