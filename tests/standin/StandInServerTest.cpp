// The host answering the stand-in driver's requests on a real virtual driver:
// the records as the driver hands them over, the Windows error codes a
// program's call fails with, and the journal's lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "StandInServer.h"
#include "vdrv/ConfigLoader.h"
#include "vdrv/FaultSetting.h"
#include "vdrv/ManualClock.h"
#include "vdrv/TextFields.h"

namespace telvar5::standin {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* kModules = "interface 0 serial 1021 inputs 8 outputs 8\ninterface 1 fails\n";
constexpr std::uint32_t kWord = 0x6001E083; // label 0x83: cell 0x83 in address mode
constexpr std::uint8_t kUnset = 0xEE;       // every reply byte before the host answers

vdrv::ConfigLoadResult loaded(std::string_view text)
{
    vdrv::ConfigLoadResult result = vdrv::parseConfigText(text, std::filesystem::temp_directory_path());
    EXPECT_TRUE(result.errors.empty()) << text;
    return result;
}

// A host on a virtual driver built from configuration text; requests are
// numbered as the driver numbers them, from 1.
struct Host {
    explicit Host(std::string_view config = kModules)
        : driver(loaded(config), std::make_shared<vdrv::ManualClock>(1'000'000)), server(driver, &journal)
    {
    }

    std::unique_ptr<T5siRequest> make(std::uint32_t kind, std::uint32_t index = 0, std::uint64_t handle = 0)
    {
        auto r = std::make_unique<T5siRequest>();
        r->magic = T5SI_MAGIC;
        r->sequence = ++sequence;
        r->kind = kind;
        r->moduleIndex = index;
        r->moduleHandle = handle;
        return r;
    }

    std::unique_ptr<T5siRequest> makeControl(std::uint64_t handle, std::uint32_t code, const Bytes& in,
                                             std::uint32_t outSize)
    {
        auto r = make(T5SI_CONTROL, 0, handle);
        r->code = code;
        r->inSize = static_cast<std::uint32_t>(in.size());
        r->outSize = outSize;
        std::copy(in.begin(), in.end(), r->data);
        return r;
    }

    // Answers a record of `bytes` bytes (0: the header and its data).
    const T5siReply& answer(const T5siRequest& r, std::size_t bytes = 0)
    {
        std::memset(reply.get(), kUnset, sizeof(T5siReply));
        replySize = server.answer(r, bytes ? bytes : T5SI_REQUEST_HEADER + r.inSize, *reply);
        return *reply;
    }

    const T5siReply& control(std::uint64_t handle, std::uint32_t code, const Bytes& in, std::uint32_t outSize)
    {
        return answer(*makeControl(handle, code, in, outSize));
    }

    std::uint64_t open(std::uint32_t index)
    {
        const T5siReply& a = answer(*make(T5SI_OPEN, index));
        EXPECT_EQ(a.error, 0u);
        return a.moduleHandle;
    }

    Bytes replyData() const { return Bytes(reply->data, reply->data + std::min(reply->bytesReturned, T5SI_MAX_DATA)); }

    void fault(int iface, std::string_view text)
    {
        std::string error;
        const std::vector<std::string_view> fields = vdrv::splitFields(text);
        const auto setting = vdrv::parseFaultSetting(fields, error);
        ASSERT_TRUE(setting) << text << ": " << error;
        ASSERT_TRUE(driver.setFault(iface, *setting, error)) << error;
    }

    // Module 0 opened, chosen, initialised, receiving on channel 1 by address, with kWord in its cell.
    std::uint64_t receiving()
    {
        const std::uint64_t h = open(0);
        EXPECT_EQ(control(h, ReqDeviceChoice, {}, 2).error, 0u);
        EXPECT_EQ(control(h, ReqDeviceInitialization, Bytes(16, 0), 2).error, 0u);
        EXPECT_EQ(control(h, ReqSIaddressPusk, {1, 0, 1, 0, 0xff, 0xff, 0xff, 0xff}, 2).error, 0u);
        std::string error;
        const std::uint32_t words[] = {kWord};
        EXPECT_TRUE(driver.injectWords(0, 1, words, error)) << error;
        return h;
    }

    vdrv::VirtualDriver driver;
    std::ostringstream journal;
    StandInServer server;
    std::unique_ptr<T5siReply> reply = std::make_unique<T5siReply>();
    std::size_t replySize = 0;
    std::uint32_t sequence = 0;
};

TEST(StandInServer, OpenAnswersWithTheModulesHandleOrItsOpenError)
{
    struct Case {
        const char* config;
        std::uint32_t index;
        std::uint32_t error;
    } const cases[] = {
        {kModules, 0, 0},
        {kModules, 1, 5},                                         // configured to fail
        {"interface 1 fails 21\n", 1, 21},                        // with its own error
        {kModules, 2, 259},                                       // no module there
        {kModules, T5SI_MAX_MODULES, 259},                        // beyond the configuration
        {"interface 0 serial 1 inputs 1 outputs 1\nfault 0 vanish\n", 0, 259},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.config) + " index " + std::to_string(c.index));
        Host host(c.config);
        const auto request = host.make(T5SI_OPEN, c.index);
        const T5siReply& reply = host.answer(*request);
        EXPECT_EQ(reply.magic, T5SI_MAGIC);
        EXPECT_EQ(reply.sequence, request->sequence);
        EXPECT_EQ(reply.error, c.error);
        EXPECT_EQ(reply.moduleHandle != 0, c.error == 0);
        EXPECT_EQ(reply.bytesReturned, 0u);
        EXPECT_EQ(host.replySize, T5SI_REPLY_HEADER);
    }
}

TEST(StandInServer, ControlRepliesOrFailsWithTheWindowsErrorOfTheFailure)
{
    struct Case {
        const char* name;
        const char* fault; // on module 0 before the request; "" for none
        bool foreignHandle;
        std::uint32_t code;
        Bytes in;
        std::uint32_t outSize;
        std::uint32_t error; // the Windows error code
        Bytes out;
    } const cases[] = {
        {"serial number", "", false, ReqSerialNumber, {}, 2, 0, {0xfd, 0x03}},
        {"more room than the reply", "", false, ReqSerialNumber, {}, T5SI_MAX_DATA + 100, 0, {0xfd, 0x03}},
        {"read word", "", false, ReqSIreadWord, {1, 0, 1, 0, 0x83, 0}, 6, 0, {1, 0, 0x83, 0xe0, 0x01, 0x60}},
        {"reception state", "", false, ReqSIstate, {1, 0}, 2, 0, {1, 0}},
        {"short reply", "short ReqSerialNumber", false, ReqSerialNumber, {}, 2, 0, {0xfd}},
        {"short read word", "short ReqSIreadWord 3", false, ReqSIreadWord, {1, 0, 1, 0, 0x83, 0}, 6, 0, {1, 0, 0x83}},
        {"unknown code", "", false, 0x222000, {}, 2, 1, {}},
        {"wrong input size", "", false, ReqSIreadWord, {1, 0, 1, 0}, 6, 87, {}},
        {"too little room", "", false, ReqSIreadWord, {1, 0, 1, 0, 0x83, 0}, 5, 87, {}},
        {"unknown handle", "", true, ReqSerialNumber, {}, 2, 6, {}},
        {"refused by the module", "", false, ReqDeviceInitialization, Bytes(16, 3), 2, 31, {}},
        {"vanished module", "vanish", false, ReqSerialNumber, {}, 2, 1167, {}},
        {"failing request", "fail ReqSerialNumber", false, ReqSerialNumber, {}, 2, 1117, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        const std::uint64_t h = host.receiving();
        if (*c.fault)
            host.fault(0, c.fault);
        const std::uint64_t failedBefore = host.server.failed();
        const T5siReply& reply = host.control(c.foreignHandle ? h + 0x100000 : h, c.code, c.in, c.outSize);
        EXPECT_EQ(reply.magic, T5SI_MAGIC);
        EXPECT_EQ(reply.sequence, host.sequence);
        EXPECT_EQ(reply.error, c.error);
        EXPECT_EQ(host.replyData(), c.out);
        EXPECT_EQ(host.replySize, T5SI_REPLY_HEADER + c.out.size());
        EXPECT_EQ(host.server.failed() - failedBefore, c.error ? 1u : 0u);
    }
}

TEST(StandInServer, MalformedRequestsAreRefusedWithoutReachingTheModule)
{
    struct Case {
        const char* name;
        void (*spoil)(T5siRequest&);
        std::size_t bytes;
        bool sequenceEchoed;
        const char* line; // journalled; "" for none
    } const cases[] = {
        {"nothing", [](T5siRequest&) {}, 0, false, ""},
        {"shorter than the header", [](T5siRequest&) {}, T5SI_REQUEST_HEADER - 1, false, ""},
        {"bad magic", [](T5siRequest& r) { r.magic ^= 1; }, T5SI_REQUEST_HEADER + 8, true, ""},
        {"more data than the exchange", [](T5siRequest& r) { r.inSize = T5SI_MAX_DATA + 1; }, sizeof(T5siRequest),
         true, ""},
        {"data beyond the record", [](T5siRequest&) {}, T5SI_REQUEST_HEADER + 7, true, ""},
        {"unknown kind", [](T5siRequest& r) { r.kind = 9; }, T5SI_REQUEST_HEADER + 8, true, "#2 kind 9 error 87\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Host host;
        const std::uint64_t h = host.open(0);
        auto request = host.makeControl(h, ReqSIaddressPusk, {1, 0, 1, 0, 0xff, 0xff, 0xff, 0xff}, 2);
        c.spoil(*request);
        const std::size_t logged = host.driver.requestLog().size();
        host.journal.str("");
        std::memset(host.reply.get(), kUnset, sizeof(T5siReply));
        host.replySize = host.server.answer(*request, c.bytes, *host.reply);
        EXPECT_EQ(host.reply->magic, T5SI_MAGIC);
        EXPECT_EQ(host.reply->sequence, c.sequenceEchoed ? request->sequence : 0u);
        EXPECT_EQ(host.reply->error, 87u); // ERROR_INVALID_PARAMETER
        EXPECT_EQ(host.reply->bytesReturned, 0u);
        EXPECT_EQ(host.reply->moduleHandle, 0u);
        EXPECT_EQ(host.replySize, T5SI_REPLY_HEADER);
        EXPECT_EQ(host.driver.requestLog().size(), logged);
        EXPECT_EQ(host.journal.str(), c.line);
    }
}

TEST(StandInServer, JournalsEveryWholeRequestOnALine)
{
    Host host;
    const std::uint64_t h = host.receiving(); // #1..#4
    host.answer(*host.make(T5SI_OPEN, 1));
    host.control(h, ReqSIreadWord, {1, 0, 1, 0, 0x83, 0}, 6);
    host.fault(0, "vanish");
    host.control(h, ReqSIstate, {1, 0}, 2);
    EXPECT_EQ(host.answer(*host.make(T5SI_CLOSE, 0, h)).error, 0u);
    EXPECT_EQ(host.replySize, T5SI_REPLY_HEADER);
    auto spoilt = host.make(T5SI_CLOSE, 0, h); // not whole: no line
    spoilt->magic = 0;
    host.answer(*spoilt);

    std::ostringstream handle;
    handle << "0x" << std::hex << h;
    const std::string expected =
        "#1 open if=0 handle " + handle.str() + " ok\n"
        "#2 control if=0 0x222030 ReqDeviceChoice in=0 out=2/2: 80 08 ok\n"
        "#3 control if=0 0x222084 ReqDeviceInitialization in=16: "
        "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 out=2/2: 00 00 ok\n"
        "#4 control if=0 0x2220C4 ReqSIaddressPusk in=8: 01 00 01 00 ff ff ff ff out=2/2: 00 00 ok\n"
        "#5 open if=1 error 5\n"
        "#6 control if=0 0x2220EC ReqSIreadWord in=6: 01 00 01 00 83 00 out=6/6: 01 00 83 e0 01 60 ok\n"
        "#7 control if=0 0x2220E8 ReqSIstate in=2: 01 00 out=0/2 error 1167\n"
        "#8 close if=0 handle " + handle.str() + "\n";
    EXPECT_EQ(host.journal.str(), expected);
    EXPECT_EQ(host.server.answered(), 9u);
    EXPECT_EQ(host.server.failed(), 3u);
}

} // namespace
} // namespace telvar5::standin
