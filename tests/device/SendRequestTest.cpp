// Which replies count as received at every count a driver may report: a reply
// counts once the count covers the bytes the program reads of it, never past
// its record, and whatever the count, no byte beyond it survives.
#include <gtest/gtest.h>

#include <functional>
#include <string_view>
#include <vector>

#include "device/DeviceBus.h"
#include "protocol/OutputRecord.h"
#include "protocol/Requests.h"
#include "support/FakeBus.h"

namespace telvar5 {
namespace {

constexpr DeviceHandle kModule = 100;
constexpr std::uint8_t kStale = 0xEE; // what an earlier request left in the reply area

struct Outcome {
    bool received;
    std::vector<std::uint8_t> reply;
};

template <std::size_t In, std::size_t Out>
Outcome send(test::FakeBus& bus, std::uint32_t code, const std::array<std::uint8_t, In>& in)
{
    std::array<std::uint8_t, Out> reply;
    reply.fill(kStale);
    const bool received = sendRequest(bus, kModule, code, in, reply);
    return {received, {reply.begin(), reply.end()}};
}

struct Kind {
    std::string_view name;
    std::uint32_t bytesRead; // what the callers read of the reply: a count below it is no reply
    std::uint32_t size;
    std::function<Outcome(test::FakeBus&)> send;
};

const Kind kKinds[] = {
    {"ReqDeviceChoice", 2, 2, [](auto& b) { return send<0, 2>(b, ReqDeviceChoice, NoRecord{}); }},
    {"ReqSerialNumber", 2, 2, [](auto& b) { return send<0, 2>(b, ReqSerialNumber, NoRecord{}); }},
    {"ReqSIstate", 1, 2, [](auto& b) { return send<2, 2>(b, ReqSIstate, channelRecord(1)); }},
    {"ReqSOstate", 1, 2, [](auto& b) { return send<2, 2>(b, ReqSOstate, channelRecord(1)); }},
    {"ReqSIreadWord", 6, 6, [](auto& b) { return send<6, 6>(b, ReqSIreadWord, readWordRecord(1, 7)); }},
    {"ReqDeviceInitialization", 0, 2,
     [](auto& b) { return send<kFreqCodesSize, 2>(b, ReqDeviceInitialization, FreqCodes{}); }},
    {"ReqDeviceReset", 0, 0, [](auto& b) { return send<0, 0>(b, ReqDeviceReset, NoRecord{}); }},
    {"ReqSOsingleLoad", 0, 2,
     [](auto& b) { return send<kOutputRecordSize, 2>(b, ReqSOsingleLoad, encodeOutputRecord(OutputRecord{})); }},
    {"ReqSOsinglePusk", 0, 2,
     [](auto& b) { return send<kSinglePuskSize, 2>(b, ReqSOsinglePusk, singlePuskRecord(OutputRecord{})); }},
    {"ReqSOciclePusk", 0, 2,
     [](auto& b) { return send<kOutputRecordSize, 2>(b, ReqSOciclePusk, encodeOutputRecord(OutputRecord{})); }},
    {"ReqSOstopChannel", 0, 2, [](auto& b) { return send<2, 2>(b, ReqSOstopChannel, channelRecord(1)); }},
    {"ReqSOwordUpdate", 0, 2, [](auto& b) { return send<8, 2>(b, ReqSOwordUpdate, wordUpdateRecord(1, 3, 5)); }},
    {"ReqSIaddressPusk", 0, 2,
     [](auto& b) { return send<8, 2>(b, ReqSIaddressPusk, receptionStartRecord(1)); }},
    {"ReqSIfilePusk", 0, 2, [](auto& b) { return send<8, 2>(b, ReqSIfilePusk, receptionStartRecord(1)); }},
    {"ReqSIstopChannel", 0, 2, [](auto& b) { return send<2, 2>(b, ReqSIstopChannel, channelRecord(1)); }},
};

TEST(SendRequest, AReplyCountsWhenTheCountCoversTheBytesRead)
{
    ASSERT_EQ(std::size(kKinds), kRequestTable.size());
    test::FakeBus bus;
    bus.modules[0] = {0x1234, makeConfigWord(4, 2), true};
    bus.siRunning = true;
    bus.soRunning = true;
    bus.readWord = [](std::uint16_t, std::uint16_t) { return std::optional<std::uint32_t>(0x89ABCDEFu); };

    for (const Kind& kind : kKinds) {
        SCOPED_TRACE(std::string(kind.name));
        bus.reportedBytes.reset();
        const Outcome whole = kind.send(bus);
        ASSERT_TRUE(whole.received);
        ASSERT_EQ(whole.reply.size(), kind.size);

        for (std::uint32_t count : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 0xFFFFFFFFu}) {
            if (count > kind.size + 1 && count != 0xFFFFFFFFu)
                continue;
            SCOPED_TRACE("count " + std::to_string(count));
            bus.reportedBytes = count;
            const Outcome o = kind.send(bus);
            EXPECT_EQ(o.received, count >= kind.bytesRead && count <= kind.size);
            // Within the count, the driver's bytes; beyond it, or with no reply, zero.
            std::vector<std::uint8_t> expected(kind.size, 0);
            for (std::uint32_t i = 0; o.received && i < count; ++i)
                expected[i] = whole.reply[i];
            EXPECT_EQ(o.reply, expected);
        }

        bus.failAll = true;
        const Outcome failed = kind.send(bus);
        bus.failAll = false;
        EXPECT_FALSE(failed.received);
        EXPECT_EQ(failed.reply, std::vector<std::uint8_t>(kind.size, 0));
    }
}

} // namespace
} // namespace telvar5
