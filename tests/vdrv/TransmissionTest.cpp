#include "VdrvRig.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kModules = R"(
interface 0 serial 1 inputs 8 outputs 8
interface 1 serial 2 inputs 2 outputs 2
)";

class Transmission : public ::testing::Test {
protected:
    VdrvRig rig{kModules};
    DeviceHandle h = rig.open(0);

    void at(Micros t) { rig.clock->setUs(1'000'000 + t); }
};

TEST_F(Transmission, ASingleTransmissionTakesNWordTimes)
{
    // Output code 0: 12.5 kHz, 1: 50 kHz, 2: 100 kHz; a word is 36 bit times.
    const Micros wordTimes[] = {2880, 720, 360};
    Micros t = 0;
    for (std::uint8_t code = 0; code <= 2; ++code) {
        SCOPED_TRACE(int(code));
        rig.initialise(h, codes({{8 + 2, code}})); // output channel 3
        const Micros wt = wordTimes[code];
        at(t);
        rig.single(h, 3, {0x11111111, 0x22222222, 0x33333333});
        EXPECT_TRUE(rig.transmitting(h, 3));
        at(t + 3 * wt - 1);
        EXPECT_TRUE(rig.transmitting(h, 3));
        at(t + 3 * wt);
        EXPECT_FALSE(rig.transmitting(h, 3));

        const std::vector<SentWord> sent = rig.sent(0, 3, 3);
        ASSERT_EQ(sent.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(sent[i].word, 0x11111111u * (i + 1));
            EXPECT_EQ(sent[i].timeUs, t + (i + 1) * wt);
        }
        t += 1'000'000;
    }
}

TEST_F(Transmission, TheSingleStartSendsTheLoadedArraySize)
{
    rig.initialise(h);
    OutputRecord r;
    r.channelNo = 1;
    r.param1 = 1;
    r.param3 = 1; // array size 1; the other 255 words travel with the record
    r.words.fill(0xDEADBEEF);
    r.words[0] = 0x01020304;
    ShortReply reply{};
    ASSERT_TRUE(rig.send(h, ReqSOsingleLoad, encodeOutputRecord(r), reply));
    EXPECT_FALSE(rig.transmitting(h, 1)); // loading alone sends nothing
    ASSERT_TRUE(rig.send(h, ReqSOsinglePusk, singlePuskRecord(r), reply));
    at(10'000);
    EXPECT_FALSE(rig.transmitting(h, 1));
    const auto sent = rig.sent(0, 1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].word, 0x01020304u);

    // A second start sends the same loaded array again.
    ASSERT_TRUE(rig.send(h, ReqSOsinglePusk, singlePuskRecord(r), reply));
    EXPECT_TRUE(rig.transmitting(h, 1));
    at(20'000);
    EXPECT_EQ(rig.sent(0, 1).size(), 2u);
}

TEST_F(Transmission, CyclicTransmissionRunsUntilStoppedAndTakesWordUpdates)
{
    rig.initialise(h, codes({{8, 2}})); // output channel 1 at 100 kHz
    rig.cyclic(h, 1, {0xA0000001, 0xA0000002});
    at(10'000'000);
    EXPECT_TRUE(rig.transmitting(h, 1));
    ModuleSnapshot m = rig.snapshot(0);
    EXPECT_EQ(m.transmitters[0].state, Transmitter::State::Cyclic);
    EXPECT_EQ(m.transmitters[0].wordsSent, 10'000'000u / 360);

    std::vector<SentWord> sent = rig.sent(0, 1, 4);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[0].word ^ sent[1].word, 3u); // alternating
    EXPECT_EQ(sent[0].word, sent[2].word);

    ShortReply reply{};
    // At 10 s word 27777 (the second of its repetition) is on the bus and keeps
    // its value; the update shows from the next repetition on.
    ASSERT_TRUE(rig.send(h, ReqSOwordUpdate, wordUpdateRecord(1, 1, 0xB0000002), reply));
    at(10'000'000 + 5 * 360);
    sent = rig.sent(0, 1, 4);
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_TRUE((sent[0].word == 0xB0000002u) != (sent[1].word == 0xB0000002u));
    for (const SentWord& w : sent)
        EXPECT_NE(w.word, 0xA0000002u);
    // An index beyond the array is ignored.
    ASSERT_TRUE(rig.send(h, ReqSOwordUpdate, wordUpdateRecord(1, 256, 0xCCCCCCCC), reply));

    rig.channelRequest(h, ReqSOstopChannel, 1);
    EXPECT_FALSE(rig.transmitting(h, 1));
    const std::uint64_t total = rig.snapshot(0).transmitters[0].wordsSent;
    at(20'000'000);
    EXPECT_EQ(rig.snapshot(0).transmitters[0].wordsSent, total);
    EXPECT_EQ(rig.sent(0, 1).size(), kSentRecordSize); // a bounded record
}

TEST_F(Transmission, AResetEndsCyclicTransmission)
{
    rig.initialise(h);
    rig.cyclic(h, 2, {0x1});
    rig.cyclic(h, 3, {0x1});
    at(5'000);
    EXPECT_TRUE(rig.transmitting(h, 2));
    NoRecord none;
    ASSERT_TRUE(rig.send(h, ReqDeviceReset, none, none));
    EXPECT_FALSE(rig.transmitting(h, 2));
    rig.initialise(h);
    rig.cyclic(h, 3, {0x1});
    EXPECT_TRUE(rig.transmitting(h, 3));
    rig.choose(h);
    EXPECT_FALSE(rig.transmitting(h, 3));
}

TEST_F(Transmission, ATransmitterTheModuleLacksDoesNothing)
{
    const DeviceHandle small = rig.open(1); // 2 outputs
    rig.initialise(small);
    rig.cyclic(small, 3, {0x5});
    rig.single(small, 8, {0x5});
    EXPECT_FALSE(rig.transmitting(small, 3));
    EXPECT_FALSE(rig.transmitting(small, 8));
    std::vector<SentWord> words;
    TransmitterSnapshot state;
    std::string error;
    EXPECT_FALSE(rig.driver->sentWords(1, 3, 10, words, state, error));
    EXPECT_FALSE(error.empty());

    // An empty array ends at once; a size beyond 256 sends the whole array.
    rig.cyclic(small, 1, {});
    EXPECT_FALSE(rig.transmitting(small, 1));
    OutputRecord r;
    r.channelNo = 2;
    r.param1 = r.param2 = 1000;
    ShortReply reply{};
    ASSERT_TRUE(rig.send(small, ReqSOciclePusk, encodeOutputRecord(r), reply));
    EXPECT_TRUE(rig.transmitting(small, 2));
    EXPECT_EQ(rig.snapshot(1).transmitters[1].count, 256);
}

} // namespace
} // namespace telvar5::vdrv::test
