#pragma once
// What the driver's configuration file says: the device interfaces of the
// TELVAR-5 class, the bench socket, the traffic on the modules' inputs, the
// wiring of their outputs to their inputs and the faults they start with.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "vdrv/BusSpeed.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/TrafficSource.h"

namespace telvar5::vdrv {

inline constexpr int kMaxInterfaces = 16; // enumeration indexes 0..15
inline constexpr int kAllInterfaces = -1; // a fault statement for every module at once
inline constexpr int kMaxChannels = 8;    // per direction
inline constexpr std::size_t kMaxSourcesPerChannel = 32;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint8_t kNotWired = 0;

// Output channel k (index k-1) is wired to input channel wires[k-1] (1..8), or
// to nothing (kNotWired). By default output k goes to input k.
using OutputWires = std::array<std::uint8_t, kMaxChannels>;
inline constexpr OutputWires kDefaultWires{1, 2, 3, 4, 5, 6, 7, 8};

// The bus wired to one input channel and the parameters sent on it.
struct ChannelTraffic {
    BusSpeed speed = BusSpeed::Low;
    std::vector<TrafficSource> sources;
};

struct InterfaceConfig {
    bool present = false;
    bool failsToOpen = false;                  // present, but every open fails
    std::uint32_t openError = kErrorAccessDenied;
    std::uint16_t serial = 0;
    std::uint8_t inputs = 0;                   // 0..8
    std::uint8_t outputs = 0;                  // 0..8
    std::array<ChannelTraffic, kMaxChannels> traffic{};
    OutputWires wires = kDefaultWires;         // a wire to an input the module lacks is no wire
    std::vector<FaultSetting> faults;          // in force from the start, applied in order
};

struct DriverConfig {
    std::array<InterfaceConfig, kMaxInterfaces> interfaces{};
    std::string benchSocket; // absolute after loading; empty: no bench socket
};

struct ConfigError {
    int line = 0; // 1-based; 0 when the error concerns the whole file
    std::string message;
};

struct ConfigLoadResult {
    bool found = false; // false: no file, no module installed
    std::string path;
    DriverConfig config;
    std::vector<ConfigError> errors;
};

} // namespace telvar5::vdrv
