#include <string>

#include "VdrvRig.h"

namespace telvar5::vdrv::test {
namespace {

constexpr std::uint32_t kWord203 = 0xABCDEF83; // discrete 203, bits 9..32 = ABCDEF
constexpr std::uint32_t kWord204 = 0x12345684;
constexpr std::uint32_t kWord010 = 0x0F0F0F08;
constexpr std::uint32_t kWord011 = 0x11111109;
constexpr Micros kLowWord = 2880, kMidWord = 720, kHighWord = 360;

std::string config()
{
    std::string text = R"(
interface 0 serial 1 inputs 8 outputs 8
interface 1 serial 2 inputs 2 outputs 2
traffic 0 1 low
  discrete 203 100 ABCDEF
  discrete 204 200 123456
traffic 0 2 high
  discrete 010 10 0F0F0F
traffic 0 4 mid
  discrete 011 10 111111
)";
    // Channels 5 (low) and 6 (high): far more words due than the bus can carry.
    for (const char* head : {"traffic 0 5 low\n", "traffic 0 6 high\n"}) {
        text += head;
        for (int i = 0; i < 32; ++i)
            text += "  discrete 1 5 FFFF\n";
    }
    return text;
}

class Reception : public ::testing::Test {
protected:
    VdrvRig rig{config()};
    DeviceHandle h = rig.open(0);

    void at(Micros t) { rig.clock->setUs(1'000'000 + t); } // the driver started at 1 s
    std::uint64_t received(int ch) { return rig.snapshot(0).receivers[ch - 1].wordsReceived; }
};

// A reset leaves the cells as a reset card has them: empty. A word that came
// before it and was never read must not be read afterwards as a new one, even
// by a program that reads without starting reception again.
TEST_F(Reception, EveryResetEmptiesTheCellsOfWordsNotYetRead)
{
    Micros start = 0;
    for (const std::uint32_t reset : {ReqDeviceReset, ReqDeviceInitialization, ReqDeviceChoice}) {
        at(start);
        rig.initialise(h);
        rig.startAddress(h, 1);
        at(start + kLowWord); // 203 arrives, unread
        ShortReply reply{};
        if (reset == ReqDeviceInitialization) {
            ASSERT_TRUE(rig.send(h, reset, FreqCodes{}, reply));
        } else if (reset == ReqDeviceChoice) {
            ASSERT_TRUE(rig.send(h, reset, NoRecord{}, reply));
        } else {
            NoRecord none;
            ASSERT_TRUE(rig.send(h, reset, none, none));
        }
        EXPECT_FALSE(rig.receiving(h, 1)) << std::hex << reset;
        if (reset != ReqDeviceInitialization) {
            ASSERT_TRUE(rig.send(h, ReqDeviceInitialization, FreqCodes{}, reply));
        }
        EXPECT_EQ(rig.read(h, 1, 0203), 0u) << std::hex << reset;
        start += 1'000'000;
    }
}

TEST_F(Reception, AddressReceptionKeepsTheLastWordOfEachLabelAndAReadTakesIt)
{
    rig.initialise(h);
    rig.startAddress(h, 1);
    // Both parameters are due at once: the bus sends them one word time apart.
    at(kLowWord - 1);
    EXPECT_EQ(rig.read(h, 1, 0203), 0u);
    at(kLowWord);
    ReadWordReply reply{};
    ASSERT_TRUE(rig.send(h, ReqSIreadWord, readWordRecord(1, 0203), reply));
    EXPECT_EQ(readWordReplyWord(reply), kWord203);
    EXPECT_EQ(getU16(reply.data()), 1); // a new word
    ASSERT_TRUE(rig.send(h, ReqSIreadWord, readWordRecord(1, 0203), reply));
    EXPECT_EQ(readWordReplyWord(reply), 0u); // taken by the first read
    EXPECT_EQ(getU16(reply.data()), 0);
    EXPECT_EQ(rig.read(h, 1, 0204), 0u);
    at(2 * kLowWord);
    EXPECT_EQ(rig.read(h, 1, 0204), kWord204);

    // The next word of 203 is due at 100 ms.
    at(100'000 + kLowWord - 1);
    EXPECT_EQ(rig.read(h, 1, 0203), 0u);
    at(100'000 + kLowWord);
    EXPECT_EQ(rig.read(h, 1, 0203), kWord203);
    // Unread words pile up in one cell: three arrivals, one read.
    at(450'000);
    EXPECT_EQ(rig.read(h, 1, 0203), kWord203);
    EXPECT_EQ(rig.read(h, 1, 0203), 0u);
    for (std::uint16_t cell = 0; cell < 256; ++cell) {
        if (cell != 0203 && cell != 0204) {
            EXPECT_EQ(rig.read(h, 1, cell), 0u) << cell;
        }
    }
    EXPECT_EQ(rig.read(h, 1, 256), 0u); // no such cell
    EXPECT_EQ(received(1), 8u); // 203 at 2.88, 102.88 .. 402.88 ms; 204 at 5.76, 205.76, 405.76 ms

    rig.channelRequest(h, ReqSIstopChannel, 1);
    rig.read(h, 1, 0204);
    at(2'000'000);
    EXPECT_EQ(rig.read(h, 1, 0203), 0u);
    EXPECT_EQ(rig.read(h, 1, 0204), 0u);
}

TEST_F(Reception, FileReceptionFillsCellsInArrivalOrderAndWraps)
{
    rig.initialise(h);
    rig.startFile(h, 1);
    at(2 * kLowWord);
    std::vector<std::uint32_t> words;
    for (std::uint32_t i = 0; i < 300; ++i)
        words.push_back(0x10000000 + i);
    std::string error;
    ASSERT_TRUE(rig.driver->injectWords(0, 1, words, error)) << error;

    EXPECT_EQ(rig.read(h, 1, 0), 0x10000000u + 254); // cell 0 held the 203 word, then was overwritten
    EXPECT_EQ(rig.read(h, 1, 1), 0x10000000u + 255);
    EXPECT_EQ(rig.read(h, 1, 2), 0x10000000u + 256);
    EXPECT_EQ(rig.read(h, 1, 45), 0x10000000u + 299);
    EXPECT_EQ(rig.read(h, 1, 46), 0x10000000u + 44);
    EXPECT_EQ(rig.read(h, 1, 255), 0x10000000u + 253);
    EXPECT_EQ(rig.read(h, 1, 46), 0u);

    // The traffic goes on after the injected words.
    at(100'000 + kLowWord);
    EXPECT_EQ(rig.read(h, 1, 46), kWord203);
}

TEST_F(Reception, StartingReceptionClearsTheCells)
{
    rig.initialise(h);
    rig.startFile(h, 1);
    at(10'000);
    std::string error;
    const std::vector<std::uint32_t> words{0xAAAA0001, 0xAAAA0002};
    ASSERT_TRUE(rig.driver->injectWords(0, 1, words, error));
    rig.startAddress(h, 1); // another mode, no stop before it
    for (std::uint16_t cell = 0; cell < 256; ++cell)
        EXPECT_EQ(rig.read(h, 1, cell), 0u) << cell;
    ASSERT_TRUE(rig.driver->injectWords(0, 1, words, error));
    rig.startAddress(h, 1);
    EXPECT_EQ(rig.read(h, 1, 1), 0u);
}

TEST_F(Reception, AReceiverTakesOnlyTheBusOfItsBitRate)
{
    // Input code 0 takes the low-speed bus, 1 the 50 kbit/s bus, 2 the high-speed bus.
    struct Case {
        std::uint16_t channel;
        std::uint8_t code;
        std::uint32_t label;
        std::uint32_t word;
        bool receives;
    };
    const Case cases[] = {
        {1, 0, 0203, kWord203, true}, {1, 1, 0203, kWord203, false}, {1, 2, 0203, kWord203, false},
        {2, 0, 010, kWord010, false}, {2, 1, 010, kWord010, false},  {2, 2, 010, kWord010, true},
        {4, 0, 011, kWord011, false}, {4, 1, 011, kWord011, true},   {4, 2, 011, kWord011, false},
    };
    Micros t = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "channel " << c.channel << " code " << int(c.code));
        rig.initialise(h, codes({{c.channel - 1, c.code}}));
        rig.startAddress(h, c.channel);
        EXPECT_TRUE(rig.receiving(h, c.channel)); // it runs, it only hears nothing
        t += 1'000'000;
        at(t);
        EXPECT_EQ(rig.read(h, c.channel, static_cast<std::uint16_t>(c.label)), c.receives ? c.word : 0u);
        EXPECT_EQ(received(c.channel) > 0, c.receives);
    }
}

TEST_F(Reception, AtMostOneWordPerWordTime)
{
    rig.initialise(h, codes({{4, 0}, {5, 2}}));
    rig.startFile(h, 5);
    rig.startFile(h, 6);
    for (Micros t = 100'000; t <= 1'000'000; t += 100'000) {
        at(t);
        rig.read(h, 5, 0);
    }
    EXPECT_EQ(received(5), static_cast<std::uint64_t>(1'000'000 / kLowWord));
    EXPECT_EQ(received(6), static_cast<std::uint64_t>(1'000'000 / kHighWord));
    EXPECT_EQ(kMidWord, 720); // the 50 kbit/s word time, for the record
}

TEST_F(Reception, AfterALongSilenceTheLatestWordsAreThere)
{
    rig.initialise(h);
    rig.startAddress(h, 1);
    rig.startFile(h, 5);
    at(3600LL * 1'000'000 + 50'000); // an hour without a request
    EXPECT_EQ(rig.read(h, 1, 0203), kWord203);
    EXPECT_EQ(rig.read(h, 1, 0204), kWord204);
    EXPECT_EQ(rig.read(h, 5, 255), 0x00FFFF01u); // the file buffer has gone round
}

TEST_F(Reception, InjectionNeedsARunningReceiver)
{
    std::string error;
    const std::vector<std::uint32_t> words{0x600A0FB8, 0x12345603};
    EXPECT_FALSE(rig.driver->injectWords(0, 1, words, error)); // not initialised
    EXPECT_FALSE(error.empty());
    rig.initialise(h);
    error.clear();
    EXPECT_FALSE(rig.driver->injectWords(0, 3, words, error)); // not receiving
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(rig.driver->injectWords(0, 9, words, error));
    EXPECT_FALSE(rig.driver->injectWords(5, 1, words, error)); // no such interface
    EXPECT_FALSE(rig.driver->injectWords(1, 3, words, error)); // interface 1 has 2 inputs

    rig.startAddress(h, 3);
    ASSERT_TRUE(rig.driver->injectWords(0, 3, words, error)) << error;
    EXPECT_EQ(rig.read(h, 3, 0xB8), 0x600A0FB8u);
    EXPECT_EQ(rig.read(h, 3, 0x03), 0x12345603u);
    EXPECT_EQ(rig.read(h, 3, 0x03), 0u);
}

} // namespace
} // namespace telvar5::vdrv::test
