#pragma once
// telvar5-cli run in-process against the real virtual driver on a manual
// clock that the program's own sleeps move: a folder of the test's own with
// an array (a.so), the decimal format ALT (TLV5frmt.stt) and its parameter
// formats (f.si), and two virtual modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "RunCli.h"
#include "support/SharedClock.h"
#include "core/analysis/CaptureFile.h"
#include "device/PlatformDeviceBus.h"
#include "device/virtual/VirtualDeviceBus.h"
#include "formats/FormatSettingsFile.h"
#include "formats/ParamFormatsFile.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/ManualClock.h"
#include "vdrv/TextFields.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::clitest {

inline constexpr const char* kTwoModules = "interface 0 serial 1021 inputs 8 outputs 8\n"
                                           "interface 2 serial 2047 inputs 4 outputs 4\n";
inline constexpr std::int64_t kWallUs = 1'700'000'000'000'000; // 2023-11-14 22:13:20 UTC
inline constexpr std::int32_t kUtcOffsetSeconds = 3 * 3600;
// Label 001 (+9320.625 м), label 002 (no format), label 203 (-1 м); address reception puts 203 in cell 131.
inline constexpr std::uint32_t kWords[] = {0x61234501, 0x20000002, 0x7FFFF883};

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

class CliRun : public ::testing::Test {
protected:
    std::filesystem::path dir;
    std::filesystem::path oldDir = std::filesystem::current_path();
    std::shared_ptr<vdrv::ManualClock> clock = std::make_shared<vdrv::ManualClock>(5'000'000);
    test::SharedClock monitorClock{*clock};
    std::shared_ptr<vdrv::VirtualDriver> driver;
    std::unique_ptr<VirtualDeviceBus> bus;
    std::function<void()> onSleep = [] {};
    std::function<bool()> interrupted;
    std::function<PlatformDeviceBus(const std::optional<std::filesystem::path>&)> openBus;

    void SetUp() override
    {
        // A folder of this test's own, also when the sanitized build runs the same test beside it.
        dir = std::filesystem::temp_directory_path() /
              ("telvar5-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir); // the monitor reads TLV5frmt.stt from here
        useConfig(kTwoModules);
        writeArray("a.so", kWords);
        writeFormats();
    }
    void TearDown() override
    {
        std::filesystem::current_path(oldDir);
        std::filesystem::remove_all(dir);
    }

    void useConfig(const char* text)
    {
        driver = std::make_shared<vdrv::VirtualDriver>(vdrv::parseConfigText(text, dir), clock);
        bus = std::make_unique<VirtualDeviceBus>(driver);
    }

    static void writeArray(const char* name, std::span<const std::uint32_t> words)
    {
        std::ofstream out(name, std::ios::binary);
        const auto put = [&out](std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                out.put(static_cast<char>(v >> (8 * i) & 0xFF));
        };
        put(static_cast<std::uint32_t>(words.size()), 2);
        for (const std::uint32_t w : words)
            put(w, 4);
    }

    // ALT: bits 28..9, bit 28 weighs 65536, sign in bit 29, units "м" in Windows-1251;
    // in force for labels 001 and 203 of input 1 once f.si is restored.
    static void writeFormats()
    {
        FormatTables tables;
        DecimalFormat& alt = tables.formatTable[0];
        alt.setTag("ALT");
        alt.setMsbBit(28);
        alt.setLsbBit(9);
        alt.setMsbWeight(65536.0f);
        alt.setUnits("\xEC");
        tables.formatCount = 1;
        ASSERT_TRUE(saveFormatSettings(tables));
        for (const std::uint8_t label : {0001, 0203}) {
            ParamFormatEntry& entry = tables.paramFormatTable[tables.paramFormatCount++];
            entry.setLabel(label);
            entry.setChannel(1);
            entry.setFormatTag("ALT");
        }
        ASSERT_TRUE(saveParamFormats(tables, "f.si"));
    }

    Outcome run(const std::vector<std::string>& args)
    {
        cli::CliEnvironment env;
        env.bus = bus.get();
        env.clock = &monitorClock;
        env.sleepUntil = [this](std::int64_t untilUs) {
            if (untilUs > clock->nowUs())
                clock->setUs(untilUs);
            onSleep();
        };
        env.wallClockUs = [] { return kWallUs; };
        env.utcOffset = [](std::int64_t) { return kUtcOffsetSeconds; };
        env.interrupted = interrupted;
        env.openBus = openBus;
        std::ostringstream out, err;
        const int code = cli::runCli(args, out, err, env);
        return {code, out.str(), err.str()};
    }

    void fault(const std::string& statement)
    {
        std::string error;
        const std::vector<std::string_view> fields = vdrv::splitFields(statement);
        const auto setting = vdrv::parseFaultSetting(fields, error);
        ASSERT_TRUE(setting && driver->setFault(0, *setting, error)) << error;
    }
};

} // namespace telvar5::clitest
