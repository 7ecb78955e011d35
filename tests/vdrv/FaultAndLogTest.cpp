#include <algorithm>
#include <cstdio>
#include <future>
#include <thread>

#include "VdrvRig.h"
#include "vdrv/BenchCommands.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/TextFields.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kModules = R"(
interface 0 serial 1021 inputs 8 outputs 8
interface 1 fails
interface 2 serial 2047 inputs 4 outputs 4
)";

// A fault statement, as the bench and the configuration write it.
void setFault(VirtualDriver& driver, int iface, std::string_view text)
{
    std::string error;
    const std::vector<std::string_view> fields = splitFields(text);
    const auto setting = parseFaultSetting(fields, error);
    ASSERT_TRUE(setting) << text << ": " << error;
    ASSERT_TRUE(driver.setFault(iface, *setting, error)) << error;
}

std::string replace(std::string text, std::string_view what, std::string_view with)
{
    if (const std::size_t at = text.find(what); at != std::string::npos)
        text.replace(at, what.size(), with);
    return text;
}

// What one request gave its caller. The reply area has two bytes more than
// the record, all 0xEE before the call.
struct Outcome {
    bool ok = false;
    std::uint32_t bytesReturned = 0;
    std::vector<std::uint8_t> out;
    Micros waitedUs = 0;
    LogEntry logged;
};

constexpr std::uint8_t kUntouched = 0xEE;

// A fresh module 0, initialised, with the fault set, serves one request of the
// row: channel 1 where the record has a channel.
Outcome serveOnce(const RequestInfo& request, const std::string& fault)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    rig.initialise(h);
    rig.startAddress(h, 1);
    if (!fault.empty())
        setFault(*rig.driver, 0, fault);
    std::vector<std::uint8_t> in(request.inSize, 0);
    if (!in.empty())
        in[0] = 1;
    Outcome o;
    o.out.assign(request.outSize + 2u, kUntouched);
    const Micros before = rig.clock->nowUs();
    o.ok = rig.bus->control(h, request.code, in.data(), request.inSize, o.out.data(),
                            static_cast<std::uint32_t>(o.out.size()), o.bytesReturned);
    o.waitedUs = rig.clock->nowUs() - before;
    o.logged = rig.driver->requestLog(1).back();

    setFault(*rig.driver, 0, "clear"); // and service is back
    std::vector<std::uint8_t> again(request.outSize + 2u);
    std::uint32_t returned = 0;
    EXPECT_TRUE(rig.bus->control(h, request.code, in.data(), request.inSize, again.data(),
                                 static_cast<std::uint32_t>(again.size()), returned))
        << fault;
    EXPECT_EQ(returned, request.outSize) << fault;
    EXPECT_EQ(rig.driver->requestLog(1).back().faults, 0) << fault;
    return o;
}

class EveryFaultOnEveryRequest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(EveryFaultOnEveryRequest, GivesTheCallerWhatTheFaultSays)
{
    const RequestInfo& request = kRequestTable[GetParam()];
    const std::uint32_t size = request.outSize;
    // REQ: this request by name, CODE: by control code, OTHER: another request.
    char code[16];
    std::snprintf(code, sizeof code, "0x%X", request.code);
    const std::string other(kRequestTable[(GetParam() + 1) % kRequestTable.size()].name);

    enum class Reply { None, Whole, Random, Cut, Empty };
    struct Case {
        const char* fault;
        bool ok;
        Reply reply;
        std::uint8_t logged; // when the record has bytes to garble or cut
        Micros delayUs;
    };
    const Case cases[] = {
        {"fail REQ", false, Reply::None, kLoggedFailed, 0},
        {"fail CODE next 1", false, Reply::None, kLoggedFailed, 0},
        {"fail REQ,OTHER prob 1", false, Reply::None, kLoggedFailed, 0},
        {"fail REQ prob 0", true, Reply::Whole, 0, 0},
        {"fail OTHER", true, Reply::Whole, 0, 0},
        {"vanish", false, Reply::None, kLoggedVanished, 0},
        {"random CODE", true, Reply::Random, kLoggedRandom, 0},
        {"short REQ", true, Reply::Cut, kLoggedShort, 0},
        {"short REQ 0", true, Reply::Empty, kLoggedShort, 0},
        {"slow REQ 250", true, Reply::Whole, 0, 250},
        {"slow OTHER 250", true, Reply::Whole, 0, 0},
    };
    const Outcome normal = serveOnce(request, "");
    ASSERT_TRUE(normal.ok);
    for (const Case& c : cases) {
        const std::string fault = replace(replace(replace(c.fault, "REQ", request.name), "CODE", code), "OTHER", other);
        SCOPED_TRACE(fault);
        const Outcome o = serveOnce(request, fault);
        EXPECT_EQ(o.ok, c.ok);
        EXPECT_EQ(o.waitedUs, c.delayUs);
        EXPECT_EQ(o.logged.delayUs, c.delayUs);
        EXPECT_EQ(o.logged.ok, c.ok);
        EXPECT_EQ(o.logged.faults, size == 0 && c.ok ? 0 : c.logged);
        std::uint32_t expected = 0;
        switch (c.reply) {
        case Reply::None: expected = 0; break;
        case Reply::Whole:
        case Reply::Random: expected = size; break;
        case Reply::Cut: expected = size == 0 ? 0 : size - 1; break;
        case Reply::Empty: expected = 0; break;
        }
        EXPECT_EQ(o.bytesReturned, expected);
        EXPECT_EQ(o.logged.bytesReturned, expected);
        // Beyond what was returned the caller's bytes stay as they were.
        for (std::size_t i = expected; i < o.out.size(); ++i)
            EXPECT_EQ(o.out[i], kUntouched) << "byte " << i;
        const auto head = [&](const Outcome& x) { return std::vector(x.out.begin(), x.out.begin() + expected); };
        if (c.reply == Reply::Random && size != 0)
            EXPECT_NE(head(o), head(normal));
        else
            EXPECT_EQ(head(o), head(normal));
    }
}

INSTANTIATE_TEST_SUITE_P(Requests, EveryFaultOnEveryRequest, ::testing::Range<std::size_t>(0, kRequestTable.size()),
                         [](const auto& info) { return std::string(kRequestTable[info.param].name); });

TEST(Faults, AProbabilityRepeatsWithItsSeedAndCombinesWithADelay)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    setFault(*rig.driver, 0, "fail ReqSIstate prob 0.25");
    setFault(*rig.driver, 0, "slow 40");
    auto run = [&] {
        setFault(*rig.driver, 0, "seed 7");
        std::vector<bool> outcomes;
        for (int i = 0; i < 400; ++i) {
            ShortReply reply{};
            outcomes.push_back(rig.send(h, ReqSIstate, channelRecord(1), reply));
            EXPECT_TRUE(rig.send(h, ReqSerialNumber, NoRecord{}, reply)); // not named: never fails
        }
        return outcomes;
    };
    const Micros start = rig.clock->nowUs();
    const std::vector<bool> first = run();
    EXPECT_EQ(rig.clock->nowUs() - start, 800 * 40); // every request waited
    const auto failed = std::count(first.begin(), first.end(), false);
    EXPECT_GT(failed, 60);
    EXPECT_LT(failed, 140);
    EXPECT_EQ(run(), first);
    EXPECT_EQ(rig.snapshot(0).faults.describe(), "fail ReqSIstate prob 0.25; slow 40");
}

TEST(Faults, AVanishedModuleComesBackWithRestoreKeepingItsOtherFaultsOrWithClearWithout)
{
    for (const char* comeBack : {"restore", "clear"}) {
        SCOPED_TRACE(comeBack);
        VdrvRig rig(kModules);
        const DeviceHandle a = rig.open(0);
        const DeviceHandle b = rig.open(2);
        rig.initialise(a);
        setFault(*rig.driver, 0, "fail ReqSIreadWord next 2");
        setFault(*rig.driver, kAllInterfaces, "vanish");
        std::uint32_t error = 0;
        EXPECT_EQ(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);
        EXPECT_EQ(error, kErrorNoMoreItems);
        ShortReply reply{};
        EXPECT_FALSE(rig.send(a, ReqSIaddressPusk, receptionStartRecord(1), reply)); // changes nothing
        EXPECT_FALSE(rig.send(b, ReqSerialNumber, NoRecord{}, reply));
        EXPECT_EQ(rig.snapshot(0).faults.describe(), "vanish; fail ReqSIreadWord next 2");

        setFault(*rig.driver, kAllInterfaces, comeBack);
        EXPECT_NE(rig.bus->openDeviceByIndex(kTelvar5InterfaceClass, 0, error), kInvalidHandle);
        EXPECT_EQ(rig.serial(a), 1021); // the old handles work again
        EXPECT_EQ(rig.serial(b), 2047);
        EXPECT_TRUE(rig.snapshot(0).initialised);
        EXPECT_FALSE(rig.receiving(a, 1));
        ReadWordReply word{};
        const bool restored = std::string_view(comeBack) == "restore";
        EXPECT_EQ(rig.send(a, ReqSIreadWord, readWordRecord(1, 0), word), !restored);
        EXPECT_EQ(rig.send(a, ReqSIreadWord, readWordRecord(1, 0), word), !restored);
        EXPECT_TRUE(rig.send(a, ReqSIreadWord, readWordRecord(1, 0), word)); // the count is used up
        EXPECT_FALSE(rig.snapshot(0).faults.active());
    }
}

TEST(Faults, OnlyModulesThatExistTakeFaults)
{
    VdrvRig rig(kModules);
    const FaultSetting vanish{FaultKind::Vanish};
    for (int iface : {1, 5, 16, -2}) {
        std::string error;
        EXPECT_FALSE(rig.driver->setFault(iface, vanish, error)) << iface;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(rig.serial(rig.open(0)), 1021);
}

// A clock whose waits block until the test lets them go.
class GateClock final : public Clock {
public:
    Micros nowUs() const override { return 0; }
    void waitUs(Micros) const override
    {
        waiting.set_value();
        release.wait();
    }
    mutable std::promise<void> waiting;
    std::shared_future<void> release;
};

TEST(Faults, ASlowRequestWaitsWithoutHoldingTheDriver)
{
    auto clock = std::make_shared<GateClock>();
    std::promise<void> open;
    clock->release = open.get_future().share();
    std::future<void> waiting = clock->waiting.get_future();
    const auto loaded = parseConfigText(kModules, "/");
    auto driver = std::make_shared<VirtualDriver>(loaded, clock);
    VirtualDeviceBus bus(driver);
    std::uint32_t error = 0;
    const DeviceHandle a = bus.openDeviceByIndex(kTelvar5InterfaceClass, 0, error);
    const DeviceHandle b = bus.openDeviceByIndex(kTelvar5InterfaceClass, 2, error);
    setFault(*driver, 0, "slow ReqSerialNumber 1000000");

    std::thread slow([&] {
        ShortReply reply{};
        EXPECT_TRUE(sendRequest(bus, a, ReqSerialNumber, NoRecord{}, reply));
        EXPECT_EQ(shortReplyValue(reply), 1021);
    });
    EXPECT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    // While it waits, the bench and other requests go on.
    auto others = std::async(std::launch::async, [&] {
        ShortReply reply{};
        return sendRequest(bus, b, ReqSerialNumber, NoRecord{}, reply) && driver->modules().size() == 3;
    });
    const bool unblocked = others.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    open.set_value();
    slow.join();
    EXPECT_TRUE(unblocked);
    EXPECT_TRUE(others.get());
}

TEST(Faults, TheBenchShowsTheFaultsInForceAndTheLogWhatTheyDid)
{
    VdrvRig rig(kModules);
    BenchCommands bench(*rig.driver);
    const DeviceHandle h = rig.open(0);
    for (const char* command : {"fault 0 fail ReqSIreadWord prob 1", "fault 0 short ReqSerialNumber",
                                "fault 0 random ReqSIstate", "fault 0 slow ReqSOstate,ReqSIstate 50"})
        EXPECT_TRUE(bench.execute(command).ends_with("OK\n")) << command;
    EXPECT_EQ(bench.execute("fault 0 vanish"), "interface 0 faults: vanish; fail ReqSIreadWord prob 1; random "
                                               "ReqSIstate; short ReqSerialNumber; slow ReqSOstate,ReqSIstate 50\nOK\n");
    EXPECT_NE(bench.execute("modules").find("\n  faults: vanish; fail ReqSIreadWord prob 1;"), std::string::npos);
    ShortReply reply{};
    EXPECT_FALSE(rig.send(h, ReqSIstate, channelRecord(1), reply));
    bench.execute("fault 0 restore");
    ReadWordReply word{};
    EXPECT_FALSE(rig.send(h, ReqSIreadWord, readWordRecord(1, 0), word));
    std::uint32_t returned = 0;
    EXPECT_TRUE(rig.bus->control(h, ReqSerialNumber, nullptr, 0, reply.data(), 2, returned));
    EXPECT_TRUE(rig.send(h, ReqSIstate, channelRecord(1), reply));
    EXPECT_TRUE(rig.send(h, ReqSOstate, channelRecord(1), reply));

    const std::string log = bench.execute("log 5");
    for (const char* line : {"ReqSIstate in=2: 01 00 out=0/2 FAILED fault: vanished, delayed 50 us\n",
                             "ReqSIreadWord in=6: 01 00 01 00 00 00 out=0/6 FAILED fault: failed\n",
                             "ReqSerialNumber in=0 out=1/2: fd ok fault: short 1 bytes\n",
                             " ok fault: random, delayed 50 us\n", "ReqSOstate in=2: 01 00 out=2/2: 00 00 ok fault: "
                                                                   "delayed 50 us\n"})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
    EXPECT_EQ(bench.execute("fault 0 clear"), "interface 0 faults: none\nOK\n");
    EXPECT_EQ(bench.execute("modules").find("faults:"), std::string::npos);
}

TEST(RequestLog, RecordsModuleCodeBytesAndOutcome)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(2);
    rig.clock->advanceUs(1500);
    rig.serial(h);
    ReadWordReply word{};
    EXPECT_TRUE(rig.send(h, ReqSIreadWord, readWordRecord(3, 0x1FF), word));
    ShortReply shortReply{};
    EXPECT_FALSE(rig.send(h, ReqSIreadWord, readWordRecord(3, 7), shortReply)); // reply area too small
    EXPECT_FALSE(rig.send(0x4242, ReqSerialNumber, NoRecord{}, shortReply));
    OutputRecord out;
    out.channelNo = 2;
    out.param1 = out.param2 = 5;
    out.words[0] = 0xCAFEF00D;
    EXPECT_TRUE(rig.send(h, ReqSOciclePusk, encodeOutputRecord(out), shortReply));

    const std::vector<LogEntry> log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].interfaceIndex, 2);
    EXPECT_EQ(log[0].code, ReqSerialNumber);
    EXPECT_EQ(log[0].timeUs, 1500);
    EXPECT_TRUE(log[0].ok);
    EXPECT_EQ(log[0].bytesReturned, 2u);
    EXPECT_EQ(getU16(log[0].reply.data()), 2047);

    EXPECT_EQ(log[1].code, ReqSIreadWord);
    EXPECT_EQ(log[1].inSize, 6u);
    EXPECT_EQ(log[1].in[0], 3);
    EXPECT_EQ(getU16(log[1].in.data() + 4), 0x1FF);
    EXPECT_TRUE(log[1].ok);
    EXPECT_EQ(log[1].bytesReturned, 6u);

    EXPECT_FALSE(log[2].ok);
    EXPECT_EQ(log[2].outSize, 2u);
    EXPECT_EQ(log[2].bytesReturned, 0u);
    EXPECT_EQ(log[3].interfaceIndex, -1);
    EXPECT_EQ(log[3].handle, 0x4242u);
    EXPECT_FALSE(log[3].ok);

    EXPECT_EQ(log[4].inSize, 1032u);
    EXPECT_EQ(getU16(log[4].in.data() + 2), 5);
    EXPECT_EQ(getU32(log[4].in.data() + 8), 0xCAFEF00Du);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_EQ(log[i].sequence, log[i - 1].sequence + 1);
}

TEST(RequestLog, KeepsTheLastRequestsAndClears)
{
    VdrvRig rig(kModules);
    const DeviceHandle h = rig.open(0);
    ReadWordReply reply{};
    for (std::size_t i = 0; i < kRequestLogCapacity + 100; ++i)
        rig.send(h, ReqSIreadWord, readWordRecord(1, static_cast<std::uint16_t>(i & 0xFF)), reply);
    std::vector<LogEntry> log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), kRequestLogCapacity);
    EXPECT_EQ(log.back().sequence, kRequestLogCapacity + 100);
    EXPECT_EQ(log.front().sequence, 101u);

    log = rig.driver->requestLog(3, true);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log.back().sequence, kRequestLogCapacity + 100);
    EXPECT_TRUE(rig.driver->requestLog().empty());
    rig.serial(h);
    log = rig.driver->requestLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].sequence, kRequestLogCapacity + 101); // the count goes on over a clear
}

} // namespace
} // namespace telvar5::vdrv::test
