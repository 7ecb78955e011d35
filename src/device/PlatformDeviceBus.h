#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "device/DeviceBus.h"

namespace telvar5 {

// The device bus a program runs on, and what became of the virtual module's
// configuration file when one was named.
struct PlatformDeviceBus {
    enum class Config {
        NotNamed,   // the platform's own driver
        Read,       // the named file was read (lines with errors are left out)
        Missing,    // no such file: no module installed
        Unreadable, // not a file that can be read: no module installed
    };

    std::unique_ptr<DeviceBus> bus;
    Config config = Config::NotNamed;
    std::vector<int> configErrorLines; // lines of the named file that were ignored, in order
};

// The backend is decided here and nowhere else. Without a configuration file,
// the platform's own: the module's kernel driver on Windows, the installed
// virtual TELVAR-5 driver on Linux. With one, on either platform, the virtual
// driver that file describes; a file that is missing or cannot be read gives
// a driver without modules, as a computer without the card.
PlatformDeviceBus createPlatformDeviceBus(
    const std::optional<std::filesystem::path>& virtualModuleConfig = std::nullopt);

} // namespace telvar5
