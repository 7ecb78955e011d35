// The module hears its own outputs: what a transmitter sends arrives on the
// input its output is wired to, word by word, at the moment it is complete.
#include "VdrvRig.h"
#include "vdrv/BenchCommands.h"

namespace telvar5::vdrv::test {
namespace {

constexpr const char* kConfig = R"(
interface 0 serial 1 inputs 8 outputs 8
interface 1 serial 2 inputs 2 outputs 4
traffic 0 1 low
  discrete 203 10 ABCDEF
wire 0 3 5
wire 0 4 none
)";

constexpr std::uint32_t kWord203 = 0xABCDEF83;
constexpr Micros kWordTimes[] = {2880, 720, 360}; // output codes 0, 1, 2

// Code bytes: input k at k-1, output k at 8+k-1.
FreqCodes loopCodes(int input, std::uint8_t inCode, int output, std::uint8_t outCode)
{
    return codes({{input - 1, inCode}, {kMaxChannels + output - 1, outCode}});
}

class Loopback : public ::testing::Test {
protected:
    VdrvRig rig{kConfig};
    DeviceHandle h = rig.open(0);

    void at(Micros t) { rig.clock->setUs(1'000'000 + t); } // the driver started at 1 s
    Micros now() const { return rig.clock->nowUs() - 1'000'000; }
    std::uint64_t received(int input) { return rig.snapshot(0).receivers[input - 1].wordsReceived; }
    std::uint64_t sent(int output) { return rig.snapshot(0).transmitters[output - 1].wordsSent; }
    std::vector<std::uint32_t> cells(int input, int n)
    {
        std::vector<std::uint32_t> words;
        for (int c = 0; c < n; ++c)
            words.push_back(rig.read(h, static_cast<std::uint16_t>(input), static_cast<std::uint16_t>(c)));
        return words;
    }
    void stop(std::uint32_t code, std::uint16_t channel)
    {
        ShortReply reply{};
        NoRecord none;
        if (code == ReqSOstopChannel)
            EXPECT_TRUE(rig.send(h, code, channelRecord(channel), reply));
        else if (code == ReqDeviceReset)
            EXPECT_TRUE(rig.send(h, code, none, none));
        else
            EXPECT_TRUE(rig.send(h, code, FreqCodes{}, reply));
    }
};

TEST_F(Loopback, ASingleArrayArrivesOnTheWiredInputOneWordTimeApart)
{
    const std::vector<std::uint32_t> words{0x60000083, 0x60000184, 0x60000285};
    for (std::uint8_t code = 0; code <= 2; ++code) {
        SCOPED_TRACE(int(code));
        const Micros wt = kWordTimes[code];
        rig.initialise(h, loopCodes(2, code, 2, code));
        rig.startFile(h, 2);
        const Micros start = now();
        const std::uint64_t sentBefore = sent(2);
        rig.single(h, 2, words);
        for (std::uint16_t i = 0; i < 3; ++i) {
            at(start + (i + 1) * wt - 1);
            EXPECT_TRUE(rig.transmitting(h, 2));
            EXPECT_EQ(rig.read(h, 2, i), 0u) << "word " << i << " is not complete yet";
            at(start + (i + 1) * wt);
            EXPECT_EQ(rig.read(h, 2, i), words[i]);
        }
        EXPECT_FALSE(rig.transmitting(h, 2));
        at(start + 100 * wt);
        EXPECT_EQ(rig.read(h, 2, 3), 0u);
        EXPECT_EQ(received(2), 3u);
        EXPECT_EQ(sent(2), sentBefore + 3);
        at(now() + 1'000'000);
    }
}

TEST_F(Loopback, ACyclicArrayRepeatsUntilStopped)
{
    const std::vector<std::uint32_t> words{0x600000A1, 0x600000A2, 0x600000A3};
    for (const std::uint32_t stopCode : {ReqSOstopChannel, ReqDeviceReset, ReqDeviceInitialization}) {
        SCOPED_TRACE(stopCode);
        rig.initialise(h, loopCodes(2, 2, 2, 2));
        rig.startFile(h, 2);
        const Micros start = now();
        const std::uint64_t sentBefore = sent(2);
        rig.cyclic(h, 2, words);
        at(start + 10 * 360 + 100);
        EXPECT_TRUE(rig.transmitting(h, 2));
        const std::vector<std::uint32_t> got = cells(2, 11);
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(got[k], words[k % 3]) << k;
        EXPECT_EQ(got[10], 0u);
        EXPECT_EQ(received(2), 10u);
        EXPECT_EQ(sent(2), sentBefore + 10);

        stop(stopCode, 2);
        EXPECT_FALSE(rig.transmitting(h, 2));
        at(start + 100 * 360);
        EXPECT_EQ(sent(2), sentBefore + 10);
        EXPECT_EQ(rig.sent(0, 2, 1).at(0).timeUs, start + 10 * 360); // the word cut off by the stop is not sent
        if (stopCode == ReqSOstopChannel) {
            EXPECT_TRUE(rig.receiving(h, 2));
            EXPECT_EQ(rig.read(h, 2, 10), 0u);
            EXPECT_EQ(received(2), 10u);
        }
        at(now() + 1'000'000);
    }
}

TEST_F(Loopback, AWordUpdateShowsFromTheNextRepetitionOn)
{
    // An array of 4 words at 100 kbit/s: word k is on the bus during
    // [k, k+1) word times; a repetition is 4 word times.
    constexpr Micros wt = 360;
    const std::array<std::uint32_t, 4> old{0xA0000010, 0xA0000011, 0xA0000012, 0xA0000013};
    struct Update {
        Micros at;
        std::uint16_t index;
        std::uint32_t word;
    };
    struct Shows {
        std::uint16_t index;
        std::uint32_t word;
        std::size_t fromRepetition;
    };
    struct Case {
        const char* what;
        std::vector<Update> updates;
        std::vector<Shows> shows; // a later entry for the same index wins
    };
    constexpr std::uint32_t X = 0xB0000020, Y = 0xB0000021, Z = 0xB0000022;
    const Case cases[] = {
        {"during the first word", {{wt / 2, 2, X}}, {{2, X, 1}}},
        {"during the last word of a repetition", {{3 * wt + wt / 2, 3, X}}, {{3, X, 1}}},
        {"as a repetition begins", {{4 * wt, 0, X}}, {{0, X, 2}}},
        {"two in one repetition, one in the next",
         {{wt + wt / 2, 0, X}, {2 * wt + wt / 2, 1, Y}, {4 * wt + wt / 2, 0, Z}},
         {{0, X, 1}, {1, Y, 1}, {0, Z, 2}}},
        {"beyond the array or the module's 256 words", {{wt / 2, 6, X}, {wt / 2, 256, Y}, {wt / 2, 0xFFFF, Z}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rig.initialise(h, loopCodes(2, 2, 2, 2));
        rig.startFile(h, 2);
        const Micros start = now();
        rig.cyclic(h, 2, std::vector<std::uint32_t>(old.begin(), old.end()));
        for (const Update& u : c.updates) {
            at(start + u.at);
            ShortReply reply{};
            ASSERT_TRUE(rig.send(h, ReqSOwordUpdate, wordUpdateRecord(2, u.index, u.word), reply));
        }
        at(start + 20 * wt);
        const std::vector<std::uint32_t> got = cells(2, 20);
        const std::vector<SentWord> record = rig.sent(0, 2, 20);
        ASSERT_EQ(record.size(), 20u);
        for (std::size_t k = 0; k < 20; ++k) {
            std::uint32_t want = old[k % 4];
            for (const Shows& s : c.shows) {
                if (s.index == k % 4 && k / 4 >= s.fromRepetition)
                    want = s.word;
            }
            EXPECT_EQ(got[k], want) << "word " << k;
            EXPECT_EQ(record[k].word, got[k]) << "the record tells what arrived, word " << k;
        }
        rig.channelRequest(h, ReqSOstopChannel, 2);
        at(now() + 1'000'000);
    }
}

TEST_F(Loopback, AReceiverHearsOnlyTheSpeedOfItsCode)
{
    const std::uint32_t word = 0x60001255;
    for (std::uint8_t outCode = 0; outCode <= 2; ++outCode) {
        for (std::uint8_t inCode = 0; inCode <= 2; ++inCode) {
            SCOPED_TRACE(::testing::Message() << "output code " << int(outCode) << ", input code " << int(inCode));
            rig.initialise(h, loopCodes(2, inCode, 2, outCode));
            rig.startAddress(h, 2);
            const std::uint64_t sentBefore = sent(2);
            rig.cyclic(h, 2, {word});
            at(now() + 100'000);
            EXPECT_EQ(rig.read(h, 2, 0x55), inCode == outCode ? word : 0u);
            EXPECT_EQ(received(2), inCode == outCode ? sent(2) - sentBefore : 0u);
            EXPECT_GT(sent(2), sentBefore); // sent on the bus, heard or not
            at(now() + 1'000'000);
        }
    }
}

TEST_F(Loopback, OutputsGoWhereTheyAreWired)
{
    // wire 0 3 5: output 3 feeds input 5, and output 5 loses its default wire;
    // wire 0 4 none: output 4 feeds nothing.
    const std::uint8_t expected[] = {1, 2, 5, 0, 0, 6, 7, 8};
    const ModuleSnapshot m = rig.snapshot(0);
    for (int out = 0; out < 8; ++out)
        EXPECT_EQ(m.transmitters[out].wiredInput, expected[out]) << "output " << out + 1;
    const ModuleSnapshot small = rig.snapshot(1); // 2 inputs: outputs 3 and 4 feed nothing
    EXPECT_EQ(small.transmitters[0].wiredInput, 1);
    EXPECT_EQ(small.transmitters[1].wiredInput, 2);
    EXPECT_EQ(small.transmitters[2].wiredInput, 0);
    EXPECT_EQ(small.transmitters[3].wiredInput, 0);

    rig.initialise(h);
    for (std::uint16_t in = 3; in <= 5; ++in)
        rig.startFile(h, in);
    rig.cyclic(h, 3, {0x60000003});
    rig.cyclic(h, 4, {0x60000004});
    rig.cyclic(h, 5, {0x60000005});
    at(10 * 2880);
    EXPECT_EQ(rig.read(h, 5, 0), 0x60000003u);
    EXPECT_EQ(received(5), 10u);
    EXPECT_EQ(received(3), 0u);
    EXPECT_EQ(received(4), 0u);
    EXPECT_EQ(sent(4), 10u);
    EXPECT_EQ(sent(5), 10u);

    const std::string modules = BenchCommands(*rig.driver).execute("modules");
    for (const char* line : {"  out 1 -> in 1: idle", "  out 3 -> in 5: cyclic", "  out 4 -> none: cyclic",
                             "  out 5 -> none: cyclic",
                             "  in 5: file reception, code 0 (12..14.5 kHz), no traffic (out 3 transmits on it)"})
        EXPECT_NE(modules.find(line), std::string::npos) << line << "\n" << modules;
}

TEST_F(Loopback, AddressReceptionPlacesByLabelFileReceptionInOrder)
{
    const std::vector<std::uint32_t> words{0x60000021, 0x60000022, 0x60000023};
    for (const bool address : {true, false}) {
        SCOPED_TRACE(address ? "address" : "file");
        rig.initialise(h, loopCodes(2, 2, 2, 2));
        address ? rig.startAddress(h, 2) : rig.startFile(h, 2);
        const Micros start = now();
        rig.cyclic(h, 2, words);
        at(start + 300 * 360); // 300 words: the file buffer goes round once
        const std::vector<std::uint32_t> got = cells(2, 256);
        for (std::size_t c = 0; c < 256; ++c) {
            std::uint32_t want = 0;
            if (address && c >= 0x21 && c <= 0x23)
                want = words[c - 0x21];
            if (!address)
                want = words[(c + 256 < 300 ? c + 256 : c) % 3]; // the last word k with k mod 256 = c
            EXPECT_EQ(got[c], want) << "cell " << c;
        }
        rig.channelRequest(h, ReqSOstopChannel, 2);
        at(now() + 1'000'000);
    }
}

TEST_F(Loopback, TheScenarioIsSilentWhileTheWiredOutputTransmits)
{
    // Input 1 carries 203 every 10 ms at 12.5 kbit/s; output 1 is wired to it.
    // Heard or not (output code 2 is not heard by input code 0), the
    // transmitter has the bus while it runs.
    constexpr std::uint32_t w205 = 0x60000085;
    for (std::uint8_t outCode : {0, 2}) {
        SCOPED_TRACE(int(outCode));
        const bool heard = outCode == 0;
        rig.initialise(h, loopCodes(1, 0, 1, outCode));
        const Micros base = now() / 1'000'000 * 1'000'000 + 1'000'000; // a whole second: traffic due
        at(base);
        rig.startAddress(h, 1);
        at(base + 99'000);
        EXPECT_EQ(rig.read(h, 1, 0203), kWord203);

        // A single transmission of 57.6 ms from 100 ms.
        at(base + 100'000);
        const auto n = static_cast<std::size_t>(57'600 / kWordTimes[outCode]);
        rig.single(h, 1, std::vector<std::uint32_t>(n, w205));
        EXPECT_EQ(rig.snapshot(0).receivers[0].busHeldBy, 1);
        at(base + 157'600 - 1);
        EXPECT_EQ(rig.read(h, 1, 0203), 0u);
        EXPECT_EQ(rig.read(h, 1, 0205), heard ? w205 : 0u);
        // The bus comes back at 157.6 ms; 203 is next due at 160 ms.
        at(base + 162'880 - 1);
        EXPECT_EQ(rig.snapshot(0).receivers[0].busHeldBy, 0);
        EXPECT_EQ(rig.read(h, 1, 0203), 0u);
        at(base + 162'880);
        EXPECT_EQ(rig.read(h, 1, 0203), kWord203);

        // A cyclic transmission from 200 ms, stopped at 250 ms.
        at(base + 200'000);
        EXPECT_EQ(rig.read(h, 1, 0203), kWord203); // arrived at 192.88 ms
        rig.cyclic(h, 1, {w205});
        at(base + 250'000);
        EXPECT_EQ(rig.read(h, 1, 0203), 0u);
        rig.channelRequest(h, ReqSOstopChannel, 1);
        at(base + 252'880 - 1);
        EXPECT_EQ(rig.read(h, 1, 0203), 0u);
        at(base + 252'880);
        EXPECT_EQ(rig.read(h, 1, 0203), kWord203);
        at(base + 1'000'000);
    }
}

TEST_F(Loopback, AfterALongSilenceTheLastWordsAreThereAndTheCountsAreExact)
{
    const std::vector<std::uint32_t> words{0x60000031, 0x60000032, 0x60000033};
    rig.initialise(h, loopCodes(2, 2, 2, 2));
    rig.startFile(h, 2);
    rig.cyclic(h, 2, words);
    constexpr std::uint64_t kWords = 3600ULL * 1'000'000 / 360; // an hour without a request
    at(static_cast<Micros>(kWords) * 360 + 100);
    EXPECT_EQ(sent(2), kWords);
    EXPECT_EQ(received(2), kWords);
    const std::vector<std::uint32_t> got = cells(2, 256);
    for (std::uint64_t k = kWords - 256; k < kWords; ++k)
        EXPECT_EQ(got[k % 256], words[k % 3]) << "word " << k;
    const std::vector<SentWord> record = rig.sent(0, 2);
    ASSERT_EQ(record.size(), kSentRecordSize);
    EXPECT_EQ(record.back().timeUs, static_cast<Micros>(kWords) * 360);
    EXPECT_EQ(record.front().timeUs, static_cast<Micros>(kWords - kSentRecordSize + 1) * 360);
}

TEST_F(Loopback, TheBenchListsEachSentWordWithItsTimeAndLabel)
{
    rig.initialise(h);
    rig.single(h, 2, {0x60000083, 0xE0001284, 0x600000FF});
    at(10'000);
    EXPECT_EQ(BenchCommands(*rig.driver).execute("sent 0 2 2"),
              "output channel 2 of interface 0 -> in 2: idle, 3 words per run, code 0 (12.5 kHz), 3 words sent\n"
              "5760 us 0xE0001284 label 204\n"
              "8640 us 0x600000FF label 377\n"
              "OK\n");
    EXPECT_EQ(BenchCommands(*rig.driver).execute("sent 0 4").rfind("output channel 4 of interface 0 -> none: idle", 0),
              0u);
}

} // namespace
} // namespace telvar5::vdrv::test
