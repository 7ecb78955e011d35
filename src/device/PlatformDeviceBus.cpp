#include "device/PlatformDeviceBus.h"

#include <algorithm>
#include <exception>

#include "device/virtual/VirtualDeviceBus.h"
#include "vdrv/ConfigLoader.h"

#ifdef _WIN32
#include "device/windows/WinDeviceBus.h"
#endif

namespace telvar5 {

namespace {

vdrv::ConfigLoadResult load(const std::filesystem::path& configFile)
{
    try {
        return vdrv::loadConfigFile(configFile);
    } catch (const std::exception&) {
        // A name the narrow encoding cannot hold (Windows): a file the driver cannot read.
        vdrv::ConfigLoadResult unreadable;
        unreadable.found = true;
        unreadable.errors.push_back({0, "cannot read the file"});
        return unreadable;
    }
}

PlatformDeviceBus virtualModuleOf(const std::filesystem::path& configFile)
{
    const vdrv::ConfigLoadResult loaded = load(configFile);
    PlatformDeviceBus result;
    result.config = PlatformDeviceBus::Config::Read;
    if (!loaded.found)
        result.config = PlatformDeviceBus::Config::Missing;
    // An error of the whole file (line 0) means nothing of it was read.
    else if (std::any_of(loaded.errors.begin(), loaded.errors.end(), [](const auto& e) { return e.line == 0; }))
        result.config = PlatformDeviceBus::Config::Unreadable;
    else
        for (const vdrv::ConfigError& error : loaded.errors)
            result.configErrorLines.push_back(error.line);
    result.bus = std::make_unique<VirtualDeviceBus>(std::make_shared<vdrv::VirtualDriver>(loaded));
    return result;
}

} // namespace

PlatformDeviceBus createPlatformDeviceBus(const std::optional<std::filesystem::path>& virtualModuleConfig)
{
    if (virtualModuleConfig)
        return virtualModuleOf(*virtualModuleConfig);
    PlatformDeviceBus result;
#ifdef _WIN32
    result.bus = std::make_unique<WinDeviceBus>();
#else
    result.bus = VirtualDeviceBus::fromInstalledConfig();
#endif
    return result;
}

} // namespace telvar5
