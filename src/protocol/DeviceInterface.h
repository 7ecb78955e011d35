#pragma once
// How a module is reached: the device interface class the driver registers,
// and the handle an opened interface is known by.
#include <array>
#include <cstdint>

namespace telvar5 {

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::array<std::uint8_t, 8> data4;
    friend bool operator==(const Guid&, const Guid&) = default;
};

// Device interface class of the TELVAR-5 driver.
inline constexpr Guid kTelvar5InterfaceClass{
    0x79706367, 0x88C8, 0x4CA5, {0x8D, 0x45, 0x45, 0xC3, 0x32, 0xC5, 0x15, 0x28}};

using DeviceHandle = std::uintptr_t;
inline constexpr DeviceHandle kNoDevice = 0;                         // no module chosen
inline constexpr DeviceHandle kInvalidHandle = ~DeviceHandle{0};      // INVALID_HANDLE_VALUE

} // namespace telvar5
