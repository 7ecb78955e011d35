// The choice of backend: the platform's own driver when no configuration is
// named, else the virtual module of the named file whatever is installed, and
// no module when that file is missing or cannot be read.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/ModuleSearch.h"
#include "device/PlatformDeviceBus.h"
#include "device/virtual/VirtualDeviceBus.h"

namespace telvar5 {
namespace {

using Config = PlatformDeviceBus::Config;
using Modules = std::vector<std::pair<std::uint32_t, std::uint32_t>>; // serial number, ordinal number

Modules modulesOn(DeviceBus& bus)
{
    const ModuleTable table = searchModules(bus);
    Modules modules;
    for (std::size_t i = 0; i < table.count; ++i)
        modules.emplace_back(table.entries[i].serialNumber, table.entries[i].enumerationIndex);
    return modules;
}

class PlatformDeviceBusTest : public ::testing::Test {
protected:
    std::filesystem::path oldDir = std::filesystem::current_path();
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("telvar5-device-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));

    void SetUp() override
    {
        std::filesystem::create_directories(dir / "sub" / "folder.conf");
        std::filesystem::current_path(dir);
        // What is installed in the current directory, and other configurations beside it.
        write("telvar5-vdrv.conf", "interface 3 serial 4242 inputs 2 outputs 2\n");
        write("sub/named.conf", "interface 1 serial 77 inputs 4 outputs 4\n"
                                "interface 5 serial 99 inputs 8 outputs 8\n");
        write("sub/faulty.conf", "interface 0 serial 11 inputs 2 outputs 2\n"
                                 "interface 99 serial 12 inputs 2 outputs 2\n"
                                 "\n"
                                 "frobnicate\n"
                                 "interface 2 serial 13 inputs 2 outputs 2\n");
    }
    void TearDown() override
    {
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(dir);
    }

    static void write(const char* name, const char* text) { std::ofstream(name) << text; }
};

TEST_F(PlatformDeviceBusTest, TheNamedFileDecidesTheModulesElseThePlatformsDriver)
{
    const struct {
        const char* name;
        std::optional<std::filesystem::path> config;
        Config state;
        Modules modules;
        std::vector<int> errorLines;
    } cases[] = {
        {"a named file, relative to the current directory", std::filesystem::path("sub/named.conf"), Config::Read,
         {{77, 1}, {99, 5}}, {}},
        {"lines with errors are left out, the others count", std::filesystem::path("sub/faulty.conf"), Config::Read,
         {{11, 0}, {13, 2}}, {2, 4}},
        {"a missing file", std::filesystem::path("sub/missing.conf"), Config::Missing, {}, {}},
        {"an empty name", std::filesystem::path(), Config::Missing, {}, {}},
        {"a folder", std::filesystem::path("sub/folder.conf"), Config::Unreadable, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PlatformDeviceBus platform = createPlatformDeviceBus(c.config);
        ASSERT_NE(platform.bus, nullptr);
        EXPECT_NE(dynamic_cast<VirtualDeviceBus*>(platform.bus.get()), nullptr);
        EXPECT_EQ(platform.config, c.state);
        EXPECT_EQ(modulesOn(*platform.bus), c.modules);
        EXPECT_EQ(platform.configErrorLines, c.errorLines);
    }

    // Nothing named: the platform's own driver, as the program always had it.
    const PlatformDeviceBus platform = createPlatformDeviceBus();
    ASSERT_NE(platform.bus, nullptr);
    EXPECT_EQ(platform.config, Config::NotNamed);
#ifdef _WIN32
    EXPECT_EQ(dynamic_cast<VirtualDeviceBus*>(platform.bus.get()), nullptr);
#else
    EXPECT_EQ(modulesOn(*platform.bus), (Modules{{4242, 3}}));
#endif
}

} // namespace
} // namespace telvar5
