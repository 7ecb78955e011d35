#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>

#include "vdrv/ConfigLoader.h"
#include "vdrv/ManualClock.h"
#include "vdrv/VirtualDriver.h"

namespace telvar5::vdrv {
namespace {

std::set<int> errorLines(const ConfigLoadResult& r)
{
    std::set<int> lines;
    for (const ConfigError& e : r.errors)
        lines.insert(e.line);
    return lines;
}

TEST(ConfigLoader, ReadsInterfacesSocketAndTraffic)
{
    const ConfigLoadResult r = parseConfigText(R"(# a comment line
bench-socket стенд/telvar5.sock   # relative to the file's folder; the file is UTF-8
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
interface 2 outputs 4 inputs 2 serial 65535
interface 3 fails 32

traffic 0 1 low
  bnr 203 62 17 1 sine 500 35000 600
  bnr 320 25 15 180/32768 ramp 0 360 120 ssm 0
  discrete 270 200 0x600A0F
traffic 0 3 high
  bnr 206 125 14 0.0625 const 250.5
)",
                                               "/srv/demo");
    EXPECT_TRUE(r.errors.empty()) << r.errors.front().line << ": " << r.errors.front().message;
    std::string socket = r.config.benchSocket;
    std::replace(socket.begin(), socket.end(), '\\', '/'); // Windows writes its own separator
    EXPECT_EQ(socket, "/srv/demo/стенд/telvar5.sock");

    const InterfaceConfig& i0 = r.config.interfaces[0];
    EXPECT_TRUE(i0.present);
    EXPECT_FALSE(i0.failsToOpen);
    EXPECT_EQ(i0.serial, 1021);
    EXPECT_EQ(i0.inputs, 8);
    EXPECT_EQ(i0.outputs, 8);
    EXPECT_TRUE(r.config.interfaces[1].present);
    EXPECT_TRUE(r.config.interfaces[1].failsToOpen);
    EXPECT_EQ(r.config.interfaces[1].openError, 5u);
    EXPECT_EQ(r.config.interfaces[2].serial, 65535);
    EXPECT_EQ(r.config.interfaces[2].inputs, 2);
    EXPECT_EQ(r.config.interfaces[2].outputs, 4);
    EXPECT_EQ(r.config.interfaces[3].openError, 32u);
    EXPECT_FALSE(r.config.interfaces[4].present);

    const auto& ch1 = i0.traffic[0];
    EXPECT_EQ(ch1.speed, BusSpeed::Low);
    ASSERT_EQ(ch1.sources.size(), 3u);
    EXPECT_EQ(ch1.sources[0].label, 0203);
    EXPECT_EQ(ch1.sources[0].periodUs, 62'000);
    EXPECT_EQ(ch1.sources[0].bits, 17);
    EXPECT_EQ(ch1.sources[0].curve.shape, ValueCurve::Shape::Sine);
    EXPECT_DOUBLE_EQ(ch1.sources[0].curve.max, 35000);
    EXPECT_DOUBLE_EQ(ch1.sources[0].curve.periodS, 600);
    EXPECT_EQ(ch1.sources[0].ssm, 3);
    EXPECT_DOUBLE_EQ(ch1.sources[1].resolution, 180.0 / 32768);
    EXPECT_EQ(ch1.sources[1].ssm, 0);
    EXPECT_EQ(ch1.sources[2].kind, TrafficSource::Kind::Discrete);
    EXPECT_EQ(ch1.sources[2].label, 0270);
    EXPECT_EQ(ch1.sources[2].data, 0x600A0Fu);
    EXPECT_EQ(i0.traffic[2].speed, BusSpeed::High);
    ASSERT_EQ(i0.traffic[2].sources.size(), 1u);
    EXPECT_DOUBLE_EQ(i0.traffic[2].sources[0].curve.valueAt(123456), 250.5);
    EXPECT_TRUE(i0.traffic[1].sources.empty());
}

TEST(ConfigLoader, ReportsEachMalformedLineAndKeepsTheValidOnes)
{
    const ConfigLoadResult r = parseConfigText(R"(interface 0 serial 1 inputs 2 outputs 2
frobnicate 1 2
interface 16 serial 1 inputs 2 outputs 2
interface 4 serial 70000 inputs 2 outputs 2
interface 5 serial 1 inputs 9 outputs 2
interface 6 serial 1 inputs 2
interface 0 serial 2 inputs 4 outputs 4
interface 7 fails 0
bnr 203 50 17 1 const 0
traffic 0 1 medium
traffic 0 1 low
  bnr 209 50 17 1 const 0
  bnr 203 0 17 1 const 0
  bnr 203 50 21 1 const 0
  bnr 203 50 17 0 const 0
  bnr 203 50 17 1 wobble 0
  bnr 203 50 17 1 sine 0 10
  bnr 203 50 17 1 sine 0 10 0
  bnr 203 50 17 1 const 0 ssm 4
  discrete 270 200 1000000
  discrete 270 100 ABCDEF
traffic 0 3 low
  discrete 271 100 1
traffic 9 1 low
  discrete 272 100 1
interface 8 fails
traffic 8 1 low
traffic 0 2 low
bench-socket two words
interface 1 serial 2 inputs 8 outputs 8
)",
                                               "/tmp");
    EXPECT_EQ(errorLines(r), (std::set<int>{2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22,
                                            24, 27, 29}));
    for (const ConfigError& e : r.errors)
        EXPECT_FALSE(e.message.empty());
    // The valid statements still count; a duplicate does not replace the first.
    EXPECT_EQ(r.config.interfaces[0].serial, 1);
    EXPECT_EQ(r.config.interfaces[0].inputs, 2);
    ASSERT_EQ(r.config.interfaces[0].traffic[0].sources.size(), 1u);
    EXPECT_EQ(r.config.interfaces[0].traffic[0].sources[0].data, 0xABCDEFu);
    EXPECT_TRUE(r.config.interfaces[0].traffic[2].sources.empty()); // channel 3 does not exist
    EXPECT_FALSE(r.config.interfaces[4].present);
    EXPECT_FALSE(r.config.interfaces[6].present);
    EXPECT_FALSE(r.config.interfaces[7].present);
    EXPECT_FALSE(r.config.interfaces[9].present);
    EXPECT_TRUE(r.config.interfaces[1].present);
    EXPECT_TRUE(r.config.benchSocket.empty());
}

TEST(ConfigLoader, TrafficMayComeBeforeItsInterfaceAndWindowsLineEndsAreRead)
{
    const ConfigLoadResult r = parseConfigText("traffic 3 2 mid\r\n  discrete 270 100 1\r\n"
                                               "interface 3 serial 3003 inputs 2 outputs 8\r\n",
                                               "/tmp");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.config.interfaces[3].serial, 3003);
    EXPECT_EQ(r.config.interfaces[3].traffic[1].speed, BusSpeed::Mid);
    EXPECT_EQ(r.config.interfaces[3].traffic[1].sources.size(), 1u);
}

TEST(ConfigLoader, AtMost32ParametersPerChannel)
{
    std::string text = "interface 0 serial 1 inputs 1 outputs 1\ntraffic 0 1 high\n";
    for (int i = 0; i < 33; ++i)
        text += "discrete 1 10 1\n";
    const ConfigLoadResult r = parseConfigText(text, "/tmp");
    EXPECT_EQ(errorLines(r), std::set<int>{35});
    EXPECT_EQ(r.config.interfaces[0].traffic[0].sources.size(), 32u);
}

TEST(ConfigLoader, OutputsFeedTheirOwnInputUnlessWiredOtherwise)
{
    const ConfigLoadResult r = parseConfigText(R"(interface 0 serial 1 inputs 8 outputs 8
interface 2 serial 2 inputs 4 outputs 4
interface 3 serial 3 inputs 2 outputs 8
wire 0 3 5      # output 3 takes input 5 from output 5
wire 0 4 none
wire 2 1 2      # outputs 1 and 2 crossed
wire 2 2 1
)",
                                               "/tmp");
    EXPECT_TRUE(r.errors.empty()) << r.errors.front().line << ": " << r.errors.front().message;
    EXPECT_EQ(r.config.interfaces[0].wires, (OutputWires{1, 2, 5, 0, 0, 6, 7, 8}));
    EXPECT_EQ(r.config.interfaces[2].wires, (OutputWires{2, 1, 3, 4, 0, 0, 0, 0}));
    EXPECT_EQ(r.config.interfaces[3].wires, (OutputWires{1, 2, 0, 0, 0, 0, 0, 0})); // no inputs 3..8
}

TEST(ConfigLoader, ReportsEachMalformedWireByLine)
{
    const ConfigLoadResult r = parseConfigText(R"(interface 0 serial 1 inputs 4 outputs 4
interface 1 fails
wire 0 1
wire 16 1 1
wire 0 0 1
wire 0 9 1
wire 0 1 9
wire 0 1 off
wire 0 1 2
wire 0 1 3
wire 0 2 2
wire 0 2 none
wire 5 1 1
wire 1 1 1
wire 0 4 6
wire 0 6 1
traffic 0 1 low
wire 0 3 3 # the same as without it
  discrete 270 100 1
)",
                                               "/tmp");
    // 10: output 1 wired twice; 11: two outputs on input 2; 19: a parameter after a wire has no bus.
    EXPECT_EQ(errorLines(r), (std::set<int>{3, 4, 5, 6, 7, 8, 10, 11, 13, 14, 15, 16, 19}));
    for (const ConfigError& e : r.errors)
        EXPECT_FALSE(e.message.empty());
    EXPECT_EQ(r.config.interfaces[0].wires, (OutputWires{2, 0, 3, 4, 0, 0, 0, 0}));
}

TEST(ConfigLoader, FaultStatementsGiveTheModulesTheFaultsTheyStartWith)
{
    const ConfigLoadResult r = parseConfigText(R"(fault 0 slow 50          # before its interface
interface 0 serial 1 inputs 2 outputs 2
interface 1 serial 2 inputs 2 outputs 2
interface 2 fails
fault 0 fail ReqSIreadWord prob 0.1
fault all random ReqSIstate,0x2220A4
fault 1 vanish
fault 1 short reqserialnumber 1
fault 0 fail ReqSIstate next 3   # replaces the first fail rule
)",
                                               "/tmp");
    ASSERT_TRUE(r.errors.empty()) << r.errors.front().line << ": " << r.errors.front().message;
    VirtualDriver driver(r, std::make_shared<ManualClock>());
    const std::vector<ModuleSnapshot> modules = driver.modules();
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(modules[0].faults.describe(), "fail ReqSIstate next 3; random ReqSOstate,ReqSIstate; slow 50");
    EXPECT_EQ(modules[1].faults.describe(), "vanish; random ReqSOstate,ReqSIstate; short ReqSerialNumber 1");
    std::uint32_t error = 0;
    EXPECT_EQ(driver.openDeviceByIndex(kTelvar5InterfaceClass, 1, error), kInvalidHandle);
    EXPECT_EQ(error, kErrorNoMoreItems);
}

TEST(ConfigLoader, ReportsEachMalformedFaultByLine)
{
    const ConfigLoadResult r = parseConfigText(R"(interface 0 serial 1 inputs 2 outputs 2
interface 1 fails
fault 0
fault 16 vanish
fault 0 explode
fault 0 fail ReqNothing
fault 0 fail prob 1.5
fault 0 short 6
fault 1 vanish
fault 5 vanish
fault 0 slow 10
)",
                                               "/tmp");
    EXPECT_EQ(errorLines(r), (std::set<int>{3, 4, 5, 6, 7, 8, 9, 10}));
    for (const ConfigError& e : r.errors)
        EXPECT_FALSE(e.message.empty());
    ASSERT_EQ(r.config.interfaces[0].faults.size(), 1u); // the one valid statement
    EXPECT_EQ(r.config.interfaces[0].faults[0].delayUs, 10u);
}

TEST(ConfigLoader, TheDemoConfigurationLoadsWithoutErrors)
{
    const ConfigLoadResult r = loadConfigFile(std::filesystem::path(TELVAR5_DEMO_DIR) / "telvar5-vdrv.conf");
    ASSERT_TRUE(r.found);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front().line << ": " << r.errors.front().message;
    EXPECT_EQ(r.config.interfaces[0].wires, kDefaultWires);
    EXPECT_EQ(r.config.interfaces[2].wires, (OutputWires{1, 0, 4, 3, 0, 0, 0, 0}));
}

TEST(ConfigLoader, MissingFileMeansNoModuleInstalled)
{
    const ConfigLoadResult r = loadConfigFile("/nonexistent/telvar5-vdrv.conf");
    EXPECT_FALSE(r.found);
    EXPECT_TRUE(r.errors.empty());
    for (const InterfaceConfig& ic : r.config.interfaces)
        EXPECT_FALSE(ic.present);
}

TEST(ConfigLoader, FileRelativeSocketAndGarbageNeverCrash)
{
    const auto dir = std::filesystem::temp_directory_path() / "telvar5-vdrv-config-test";
    std::filesystem::create_directories(dir);
    const auto path = dir / "x.conf";
    {
        std::ofstream(path) << "bench-socket s.sock\ninterface 0 serial 7 inputs 2 outputs 2\n";
    }
    ConfigLoadResult r = loadConfigFile(path);
    EXPECT_TRUE(r.found);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.config.benchSocket, (dir / "s.sock").string());
    EXPECT_EQ(r.config.interfaces[0].serial, 7);

    std::mt19937 gen(42);
    std::string garbage(20000, '\0');
    for (char& c : garbage)
        c = static_cast<char>(gen());
    {
        std::ofstream(path, std::ios::binary) << garbage;
    }
    r = loadConfigFile(path);
    EXPECT_TRUE(r.found);
    EXPECT_FALSE(r.errors.empty());
    EXPECT_LE(r.errors.size(), 101u);

    // A path that is no UTF-8 names no file on Windows; elsewhere names are bytes.
    r = parseConfigText("bench-socket \xC3\x28\xFF.sock\n", "/tmp");
#ifdef _WIN32
    EXPECT_EQ(errorLines(r), std::set<int>{1});
    EXPECT_TRUE(r.config.benchSocket.empty());
#else
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(r.config.benchSocket, "/tmp/\xC3\x28\xFF.sock");
#endif

    r = loadConfigFile(dir); // a folder is not a configuration
    EXPECT_TRUE(r.found);
    EXPECT_EQ(errorLines(r), std::set<int>{0});
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace telvar5::vdrv
