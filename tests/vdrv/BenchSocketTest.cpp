#include <cstring>
#include <fstream>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "VdrvRig.h"
#include "vdrv/BenchClient.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kConfig = R"(
bench-socket bench.sock
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
)";

bool anyLineHas(const BenchReply& r, const std::string& text)
{
    for (const std::string& l : r.lines) {
        if (l.find(text) != std::string::npos)
            return true;
    }
    return false;
}

class BenchSocket : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/telvar5-bench-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir = pattern;
        socketPath = (dir / "bench.sock").string();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::filesystem::path dir;
    std::string socketPath;
};

TEST_F(BenchSocket, CommandsRoundTripThroughTheSocket)
{
    auto rig = std::make_unique<VdrvRig>(kConfig, dir);
    ASSERT_TRUE(rig->driver->benchRunning()) << rig->driver->benchError();
    EXPECT_EQ(rig->driver->benchSocketPath(), socketPath);

    BenchReply r = sendBenchCommand(socketPath, "modules");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(anyLineHas(r, "interface 0: serial 1021, 8 inputs, 8 outputs, not initialised"));
    EXPECT_TRUE(anyLineHas(r, "interface 1: fails to open (error 5)"));

    const DeviceHandle h = rig->open(0);
    rig->initialise(h, codes({{8, 1}}));
    rig->startAddress(h, 1);
    r = sendBenchCommand(socketPath, "modules");
    EXPECT_TRUE(anyLineHas(r, "in 1: address reception, code 0"));
    EXPECT_TRUE(anyLineHas(r, "out 1 -> in 1: idle, 0 words per run, code 1 (50 kHz)"));

    r = sendBenchCommand(socketPath, "inject 0 1 600A0FB8 0x12345603");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(rig->read(h, 1, 0xB8), 0x600A0FB8u);
    EXPECT_EQ(rig->read(h, 1, 0x03), 0x12345603u);
    r = sendBenchCommand(socketPath, "inject 0 2 1");
    EXPECT_TRUE(r.connected);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("not receiving"), std::string::npos);
    EXPECT_FALSE(sendBenchCommand(socketPath, "inject 0 1 1FFFFFFFF").ok);

    r = sendBenchCommand(socketPath, "log 2");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_NE(r.lines[1].find("if=0 ReqSIreadWord in=6: 01 00 01 00 03 00 out=6/6: 01 00 03 56 34 12 ok"),
              std::string::npos)
        << r.lines[1];
    r = sendBenchCommand(socketPath, "log clear");
    EXPECT_TRUE(anyLineHas(r, "log cleared"));
    r = sendBenchCommand(socketPath, "log");
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.lines.empty());

    rig->cyclic(h, 1, {0xA1A2A3A4});
    rig->clock->advanceUs(3 * 720);
    r = sendBenchCommand(socketPath, "sent 0 1 2");
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_NE(r.lines[0].find("cyclic, 1 words per run"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[2].find("0xA1A2A3A4"), std::string::npos);

    ASSERT_TRUE(sendBenchCommand(socketPath, "fault 0 fail 1").ok);
    ShortReply state{};
    EXPECT_FALSE(rig->send(h, ReqSIstate, channelRecord(1), state)); // takes the one fault
    EXPECT_TRUE(rig->receiving(h, 1));
    ASSERT_TRUE(sendBenchCommand(socketPath, "fault all vanish").ok);
    std::uint32_t error = 0;
    EXPECT_EQ(rig->bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);
    r = sendBenchCommand(socketPath, "modules");
    EXPECT_TRUE(anyLineHas(r, "faults: vanish"));
    ASSERT_TRUE(sendBenchCommand(socketPath, "fault all clear").ok);
    EXPECT_NE(rig->bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);

    for (const char* bad : {"", "bogus", "modules now", "fault 1 vanish", "fault 0 fail 0", "sent 0 9",
                            "inject 0 1", "log many"}) {
        r = sendBenchCommand(socketPath, bad);
        EXPECT_TRUE(r.connected) << bad;
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
    }
    EXPECT_TRUE(sendBenchCommand(socketPath, "help").ok);

    rig.reset(); // the driver goes: its thread stops and the socket file is removed
    EXPECT_FALSE(std::filesystem::exists(socketPath));
    r = sendBenchCommand(socketPath, "modules");
    EXPECT_FALSE(r.connected);
    EXPECT_FALSE(r.error.empty());
}

TEST_F(BenchSocket, AFaultedRequestIsSeenInTheLog)
{
    VdrvRig rig(kConfig, dir);
    const DeviceHandle h = rig.open(0);
    ASSERT_TRUE(sendBenchCommand(socketPath, "fault 0 fail 1").ok);
    ShortReply reply{};
    EXPECT_FALSE(rig.send(h, ReqSerialNumber, NoRecord{}, reply));
    EXPECT_EQ(rig.serial(h), 1021);
    const BenchReply r = sendBenchCommand(socketPath, "log 2");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_NE(r.lines[0].find("ReqSerialNumber in=0 out=0/2 FAILED"), std::string::npos) << r.lines[0];
    EXPECT_NE(r.lines[1].find("out=2/2: fd 03 ok"), std::string::npos) << r.lines[1];
}

TEST_F(BenchSocket, AStaleSocketIsReplacedAndOtherFilesAreLeftAlone)
{
    // A socket file left by a driver that died.
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, socketPath.c_str());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    {
        VdrvRig rig(kConfig, dir);
        EXPECT_TRUE(rig.driver->benchRunning()) << rig.driver->benchError();
        // A second driver on the same socket keeps off it.
        VdrvRig second(kConfig, dir);
        EXPECT_FALSE(second.driver->benchRunning());
        EXPECT_NE(second.driver->benchError().find("in use"), std::string::npos);
        EXPECT_TRUE(sendBenchCommand(socketPath, "modules").ok);
        EXPECT_EQ(second.serial(second.open(0)), 1021); // its requests work without the bench
    }
    {
        std::ofstream(socketPath) << "not a socket";
        VdrvRig rig(kConfig, dir);
        EXPECT_FALSE(rig.driver->benchRunning());
        EXPECT_FALSE(rig.driver->benchError().empty());
    }
    std::ifstream in(socketPath);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "not a socket");
}

} // namespace
} // namespace telvar5::vdrv::test
