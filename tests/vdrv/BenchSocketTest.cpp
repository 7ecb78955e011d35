// The bench socket is a Unix-domain socket with a check of the peer's user:
// POSIX only. On Windows a configuration that asks for it still loads, and the
// driver runs without a bench and says why.
#include "VdrvRig.h"
#include "vdrv/BenchServer.h"

#ifdef _WIN32

namespace telvar5::vdrv::test {
namespace {

TEST(BenchSocket, IsReportedAsNotAvailableAndTheDriverRunsWithoutIt)
{
    // The rig checks that the configuration loads without errors.
    VdrvRig rig("bench-socket bench.sock\ninterface 0 serial 1021 inputs 8 outputs 8\n");
    EXPECT_FALSE(rig.driver->benchSocketPath().empty());
    EXPECT_FALSE(rig.driver->benchRunning());
    EXPECT_EQ(rig.driver->benchError(), kBenchUnavailableOnWindows);
    EXPECT_FALSE(std::filesystem::exists(rig.driver->benchSocketPath()));
    EXPECT_EQ(rig.serial(rig.open(0)), 1021);
}

// The socket's own tests (after #else) cannot run here.
TEST(BenchSocket, SocketServesClients)
{
    GTEST_SKIP() << "no bench socket on Windows: it is a Unix-domain socket that checks its peer's user";
}

} // namespace
} // namespace telvar5::vdrv::test

#else

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <future>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "vdrv/BenchAccess.h"
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

// A client that speaks to the socket byte by byte, as no well-behaved client would.
class RawClient {
public:
    explicit RawClient(const std::string& path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        EXPECT_EQ(::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0) << std::strerror(errno);
    }
    ~RawClient() { ::close(fd_); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    void send(std::string_view bytes) { [[maybe_unused]] auto n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    void endStream() { ::shutdown(fd_, SHUT_WR); }
    // Whether one byte of an answer arrives within 10 s.
    bool answerBegins()
    {
        pollfd pfd{fd_, POLLIN, 0};
        char byte = 0;
        return ::poll(&pfd, 1, 10'000) == 1 && ::recv(fd_, &byte, 1, 0) == 1;
    }

    // What the server sent until it closed the connection; "(open)" appended
    // when it was still open after 10 s.
    std::string readToEnd()
    {
        std::string text;
        char buf[4096];
        for (;;) {
            pollfd pfd{fd_, POLLIN, 0};
            if (::poll(&pfd, 1, 10'000) <= 0)
                return text + "(open)";
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0)
                return text;
            text.append(buf, static_cast<std::size_t>(n));
        }
    }

private:
    int fd_;
};

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

    // A bench server on socketPath whose handler echoes the line.
    std::unique_ptr<BenchServer> echoServer(BenchLimits limits = {})
    {
        auto server = std::make_unique<BenchServer>();
        std::string error;
        EXPECT_TRUE(server->start(
            socketPath, [](const std::string& line) { return "got " + std::to_string(line.size()) + "\nOK\n"; },
            error, limits))
            << error;
        return server;
    }

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

    for (const std::string& bad : std::initializer_list<std::string>{
             "", "\r", "bogus", "modules now", "fault 1 vanish", "fault 0 fail 0", "sent 0 9", "inject 0 1", "log many",
             "fault 0 fail prob 7", "fault 0 fail ReqBogus", "fault 0 slow 10000001", "fault all short 6",
             std::string("\0\x01\xff", 3)}) {
        r = sendBenchCommand(socketPath, bad);
        EXPECT_TRUE(r.connected) << bad;
        EXPECT_FALSE(r.ok) << bad;
        EXPECT_FALSE(r.error.empty()) << bad;
        EXPECT_TRUE(std::all_of(r.error.begin(), r.error.end(), [](char c) { return c >= 0x20 && c < 0x7F; })) << bad;
    }
    EXPECT_TRUE(sendBenchCommand(socketPath, "help").ok);

    rig.reset(); // the driver goes: its thread stops and the socket file is removed
    EXPECT_FALSE(std::filesystem::exists(socketPath));
    r = sendBenchCommand(socketPath, "modules");
    EXPECT_FALSE(r.connected);
    EXPECT_FALSE(r.error.empty());
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

TEST_F(BenchSocket, ALineOverTheLimitIsRefusedAndItsConnectionClosed)
{
    const auto server = echoServer();
    struct Case {
        std::string sent;
        bool thenEnd; // the client ends its stream after sending
        std::string reply;
    };
    const Case cases[] = {
        {std::string(4096, 'x') + "\n", false, "got 4096\nOK\n"},
        {std::string(4097, 'x') + "\n", false, "ERROR command line longer than 4096 bytes\n"},
        {std::string(100'000, 'x'), false, "ERROR command line longer than 4096 bytes\n"},
        {"modules", true, "got 7\nOK\n"}, // a line ended by the end of the stream
    };
    for (const Case& c : cases) {
        RawClient client(socketPath);
        client.send(c.sent);
        if (c.thenEnd)
            client.endStream();
        EXPECT_EQ(client.readToEnd(), c.reply) << c.sent.size();
    }
}

TEST_F(BenchSocket, AClientBeyondTheLimitIsRefusedUntilAPlaceIsFree)
{
    const auto server = echoServer({.maxLineBytes = 4096, .maxClients = 8, .clientTimeout = std::chrono::seconds(30)});
    std::vector<std::unique_ptr<RawClient>> silent;
    for (int i = 0; i < 8; ++i)
        silent.push_back(std::make_unique<RawClient>(socketPath));
    RawClient extra(socketPath);
    extra.send("help\n");
    EXPECT_EQ(extra.readToEnd(), "ERROR too many bench clients at once (8); try again\n");
    EXPECT_NE(sendBenchCommand(socketPath, "help", 10'000).error.find("too many"), std::string::npos);

    silent.front()->send("first\n");
    EXPECT_EQ(silent.front()->readToEnd(), "got 5\nOK\n");
    silent.erase(silent.begin());
    const BenchReply r = sendBenchCommand(socketPath, "help", 10'000);
    EXPECT_TRUE(r.ok) << r.error;
}

TEST_F(BenchSocket, AClientWithoutACompleteLineTimesOut)
{
    const auto server = echoServer({.clientTimeout = std::chrono::milliseconds(150)});
    for (const char* partial : {"", "modu"}) {
        RawClient client(socketPath);
        client.send(partial);
        EXPECT_EQ(client.readToEnd(), "ERROR no complete command line within 150 ms\n") << partial;
    }
    EXPECT_TRUE(sendBenchCommand(socketPath, "help").ok);
}

TEST_F(BenchSocket, TheServerStopsAtOnceWhateverItsClientsAreDoing)
{
    auto server = std::make_unique<BenchServer>();
    std::string error;
    ASSERT_TRUE(server->start(
        socketPath, [](const std::string&) { return std::string(8 << 20, 'r'); }, error,
        {.clientTimeout = std::chrono::seconds(60)}));
    RawClient silent(socketPath);
    RawClient halfLine(socketPath);
    halfLine.send("modu");
    RawClient notReading(socketPath); // its 8 MiB reply fills the socket and waits
    notReading.send("log\n");
    ASSERT_TRUE(notReading.answerBegins());
    auto stopped = std::async(std::launch::async, [&] { server.reset(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    stopped.wait();
    EXPECT_FALSE(std::filesystem::exists(socketPath));
    EXPECT_EQ(silent.readToEnd(), ""); // closed
}

TEST_F(BenchSocket, TheSocketIsInAPrivateFolderAndOnlyForItsOwner)
{
    {
        VdrvRig rig("bench-socket private/bench.sock\ninterface 0 serial 1 inputs 1 outputs 1\n", dir);
        ASSERT_TRUE(rig.driver->benchRunning()) << rig.driver->benchError();
        struct stat st;
        ASSERT_EQ(::stat((dir / "private").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u);
        ASSERT_EQ(::stat((dir / "private/bench.sock").c_str(), &st), 0);
        EXPECT_TRUE(S_ISSOCK(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        EXPECT_TRUE(sendBenchCommand((dir / "private/bench.sock").string(), "modules").ok);
    }
    struct Case {
        const char* path;
        mode_t folderMode; // 0: no folder made
        const char* error;
    };
    const Case refused[] = {
        {"open/bench.sock", 0755, "open to other users (mode 0755)"},
        {"shared/bench.sock", 01777, "open to other users (mode 1777)"},
        {"entered/bench.sock", 0711, "open to other users (mode 0711)"},
        {"missing/parent/bench.sock", 0, "cannot create the bench socket folder"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.path);
        const std::filesystem::path folder = (dir / c.path).parent_path();
        if (c.folderMode != 0) {
            std::filesystem::create_directory(folder);
            ::chmod(folder.c_str(), c.folderMode);
        }
        VdrvRig rig(std::string("bench-socket ") + c.path + "\ninterface 0 serial 1 inputs 1 outputs 1\n", dir);
        EXPECT_FALSE(rig.driver->benchRunning());
        EXPECT_NE(rig.driver->benchError().find(c.error), std::string::npos) << rig.driver->benchError();
        EXPECT_FALSE(std::filesystem::exists(dir / c.path));
        EXPECT_EQ(rig.serial(rig.open(0)), 1); // the driver works without its bench
    }

    const uid_t self = ::geteuid();
    EXPECT_TRUE(benchPeerAllowed(self, self));
    EXPECT_FALSE(benchPeerAllowed(self + 1, self));
    EXPECT_FALSE(benchPeerAllowed(0, 1000)); // root is another user too
    EXPECT_FALSE(benchPeerAllowed(std::nullopt, self));
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    EXPECT_EQ(benchPeerUid(pair[0]), self);
    ::close(pair[0]);
    ::close(pair[1]);
}

} // namespace
} // namespace telvar5::vdrv::test

#endif
