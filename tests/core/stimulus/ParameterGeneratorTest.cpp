// The parameter generator on a module: what it lays out, what it sends and
// when, and when it refuses.
#include "input/InputFixture.h"

#include <filesystem>
#include <map>

#include "core/stimulus/GeneratorFile.h"
#include "formats/DecimalEncoder.h"
#include "formats/FormatSettingsFile.h"
#include "formats/DecimalText.h"
#include "formats/FormatTestSupport.h"
#include "protocol/ByteLayout.h"

namespace telvar5 {
namespace {

using WordUpdate = test::SentWordUpdate;

class ParameterGeneratorTest : public test::InitialisedMonitor {
protected:
    DecimalFormat alt = test::makeFormat("ALT", 0, 28, 11, 65536.0f, "ft");  // 1 ft a step
    DecimalFormat ang = test::makeFormat("ANG", 0, 28, 11, 90.0f, "grad");
    DecimalFormat bad = test::makeFormat("BAD", 0, 29, 11, 90.0f, "grad");   // field takes the sign bit

    void SetUp() override
    {
        InitialisedMonitor::SetUp();
        auto& formats = run().formats;
        formats.formatTable[0] = alt;
        formats.formatTable[1] = ang;
        formats.formatTable[2] = bad;
        formats.formatCount = 3;
    }
    ParameterGenerator& generator() { return monitor->stimuli().generator(); }
    static GeneratorRow row(int channel, std::uint8_t label, const char* tag, const char* waveform, std::uint8_t ssm = 3)
    {
        return {channel, label, tag, ssm, *parseWaveform(waveform)};
    }
    static GeneratorRow timed(GeneratorRow r, double intervalMs)
    {
        r.intervalMs = intervalMs;
        return r;
    }
    std::uint32_t encoded(const DecimalFormat& f, double value, std::uint8_t label, std::uint8_t ssm = 3)
    {
        return DecimalEncoder(f).encode(value, label | std::uint32_t{ssm} << 29).word;
    }
    std::vector<std::uint32_t> codesSent() const { return bus.codes(); }
    std::vector<WordUpdate> updatesSent() const { return bus.wordUpdates(); }
    TickResult tickAt(double seconds)
    {
        clock.us = static_cast<std::int64_t>(seconds * 1e6);
        bus.soRunning = true;
        return monitor->refresh().Timer1Timer();
    }
};

TEST_F(ParameterGeneratorTest, StartLaysOutEachChannelsRowsAndStartsThemCyclically)
{
    monitor->outputArrays().SOChange(4); // the user looks at output 5
    generator().setRows({row(1, 0203, "ALT", "const 35000"), row(3, 0310, "ANG", "const -45", 0),
                         row(1, 0206, "ALT", "const 250")});
    ASSERT_EQ(generator().start(0), "");

    // Only cyclic starts, one for each channel, with the rows' words in row order.
    ASSERT_EQ(codesSent(), (std::vector<std::uint32_t>{ReqSOciclePusk, ReqSOciclePusk}));
    const auto& ch1 = bus.sent[0].in;
    EXPECT_EQ(getU16(&ch1[0]), 1);
    EXPECT_EQ(getU16(&ch1[2]), 2); // size
    EXPECT_EQ(getU32(&ch1[8]), encoded(alt, 35000, 0203));
    EXPECT_EQ(getU32(&ch1[12]), encoded(alt, 250, 0206));
    const auto& ch3 = bus.sent[1].in;
    EXPECT_EQ(getU16(&ch3[0]), 3);
    EXPECT_EQ(getU16(&ch3[2]), 1);
    EXPECT_EQ(getU32(&ch3[8]), 0x1C0000C8u);

    EXPECT_TRUE(generator().running());
    EXPECT_EQ(generator().channels(), std::bitset<kChannels>(0b101));
    EXPECT_EQ(run().curOutputIndex, 4); // still shown
    EXPECT_EQ(run().outputMode[0], kOutputCyclic);
    EXPECT_EQ(run().outputRecord[0].words[1], encoded(alt, 250, 0206));
    EXPECT_TRUE(run().arrayChanged[0]);
    EXPECT_EQ(generator().rowStates()[2].value, 250); // states follow the rows, not the array
}

TEST_F(ParameterGeneratorTest, EachTickSendsOnlyTheWordsThatChanged)
{
    monitor->outputArrays().SOChange(1);
    generator().setRows({row(2, 0203, "ALT", "ramp 0 1000 10 repeat"), row(2, 0206, "ALT", "const 7"),
                         row(2, 0210, "ALT", "step 5 6 2")});
    ASSERT_EQ(generator().start(0), "");
    bus.sent.clear();

    const TickResult first = tickAt(1.0);
    EXPECT_EQ(updatesSent(), (std::vector<WordUpdate>{{2, 0, encoded(alt, 100, 0203)}}));
    EXPECT_EQ(first.outputWordsChanged, std::bitset<kChannels>(0b10));
    bus.sent.clear();

    tickAt(1.0); // nothing moved
    EXPECT_TRUE(updatesSent().empty());

    tickAt(2.5);
    EXPECT_EQ(updatesSent(), (std::vector<WordUpdate>{{2, 0, encoded(alt, 250, 0203)}, {2, 2, encoded(alt, 6, 0210)}}));
    EXPECT_EQ(run().outputRecord[1].words[2], encoded(alt, 6, 0210)); // the grid shows what went out
}

TEST_F(ParameterGeneratorTest, RowsWithIntervalsRecurInTheArrayAndEveryCopyFollowsTheValue)
{
    run().freqCodes[8] = 2; // 360 us a word on output 1
    generator().setRows({timed(row(1, 0203, "ALT", "ramp 0 1000 10 repeat"), 1.44), // every 4th word
                         timed(row(1, 0206, "ALT", "const 7"), 2.88), row(1, 0210, "ALT", "const 9")});
    ASSERT_EQ(generator().start(0), "");

    ASSERT_EQ(codesSent(), (std::vector<std::uint32_t>{ReqSOciclePusk}));
    const auto& sent = bus.sent[0].in;
    const std::size_t size = getU16(&sent[2]);
    std::map<std::uint32_t, std::vector<std::uint16_t>> at; // word -> its indices
    for (std::size_t i = 0; i < size; ++i)
        at[getU32(&sent[8 + 4 * i])].push_back(static_cast<std::uint16_t>(i));
    const std::uint32_t fastWord = encoded(alt, 0, 0203);
    ASSERT_EQ(at[fastWord].size() * 4, size);
    EXPECT_EQ(at[encoded(alt, 7, 0206)].size() * 8, size);
    EXPECT_EQ(at[encoded(alt, 9, 0210)].size(), 1u);
    for (const auto& [word, indices] : at) { // any other word is filler of a label no row sends
        if (word != fastWord && word != encoded(alt, 7, 0206) && word != encoded(alt, 9, 0210)) {
            EXPECT_TRUE((word & 0xFF) != 0203 && (word & 0xFF) != 0206 && (word & 0xFF) != 0210) << word;
        }
    }
    EXPECT_NEAR(generator().rowStates()[0].intervalMs, 1.44, 1e-9);
    EXPECT_NEAR(generator().rowStates()[1].intervalMs, 2.88, 1e-9);
    EXPECT_NEAR(generator().rowStates()[2].intervalMs, 0.36 * static_cast<double>(size), 1e-9);

    bus.sent.clear();
    tickAt(1.0);
    std::vector<WordUpdate> expected;
    for (const std::uint16_t index : at[fastWord])
        expected.push_back({1, index, encoded(alt, 100, 0203)});
    EXPECT_EQ(updatesSent(), expected);
}

TEST_F(ParameterGeneratorTest, ValuesBeyondTheFieldAreClampedAndReported)
{
    generator().setRows({row(1, 0310, "ANG", "const 1000"), row(1, 0311, "ANG", "const -1000")});
    ASSERT_EQ(generator().start(0), "");
    const auto states = generator().rowStates();
    EXPECT_EQ(states[0].fit, ValueFit::ClampedHigh);
    EXPECT_EQ(states[1].fit, ValueFit::ClampedLow);
    EXPECT_EQ(decimalValue(states[0].word, ang).magnitude, DecimalEncoder(ang).maxMagnitude());
}

TEST_F(ParameterGeneratorTest, RefusesRowsItCannotRunAndSendsNothing)
{
    struct Case {
        std::vector<GeneratorRow> rows;
        std::uint32_t soChannels;
        const char* reasonStart;
    };
    const Case cases[] = {
        {{}, 8, "В генераторе нет ни одной строки"},
        {{row(1, 1, "ALT", "const 1"), row(5, 1, "ALT", "const 1")}, 4, "Строка 2: у модуля нет выходного канала 5"},
        {{row(1, 1, "NONE", "const 1")}, 8, "Строка 1: нет десятичного формата «NONE»"},
        {{row(1, 1, "BAD", "const 1")}, 8, "Строка 1: формат «BAD» не годится для выдачи"},
        {{row(1, 1, "ALT", "const 1"), row(2, 1, "ALT", "const 1"), row(1, 1, "ANG", "const 1")}, 8,
         "Строка 3: метка 001 канала 1 уже задана в строке 1"},
        {{row(1, 1, "ALT", "const 1"), timed(row(1, 2, "ALT", "const 1"), 0.01)}, 8, "Строка 2: интервал 0.01 мс"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reasonStart);
        run().soChannelCount = c.soChannels;
        bus.sent.clear();
        generator().setRows(c.rows);
        const std::string reason = generator().start(0);
        EXPECT_EQ(reason.rfind(c.reasonStart, 0), 0u) << reason;
        EXPECT_TRUE(bus.sent.empty());
        EXPECT_FALSE(generator().running());
    }
}

TEST_F(ParameterGeneratorTest, AChannelHeldByTheReplayOrRefusedByTheModuleIsNotTaken)
{
    const std::uint32_t word = 0203;
    ASSERT_TRUE(monitor->stimuli().output().startCyclic(1, std::span(&word, 1), StimulusOwner::Replay));
    generator().setRows({row(1, 1, "ALT", "const 1"), row(2, 1, "ALT", "const 1")});
    EXPECT_EQ(generator().start(0).rfind("Строка 2: выходной канал 2 занят воспроизведением", 0), 0u);

    generator().setRows({row(1, 1, "ALT", "const 1")});
    bus.failAll = true;
    EXPECT_EQ(generator().start(0), "Модуль не принял пуск выходного канала 1.");
    EXPECT_FALSE(generator().running());
    EXPECT_TRUE(monitor->stimuli().output().freeFor(0, StimulusOwner::Replay));
}

TEST_F(ParameterGeneratorTest, AnArrayTheUserChangedIsKnownUntilSavedOrLaidOutByTheGenerator)
{
    StimulusOutput& output = monitor->stimuli().output();
    monitor->outputArrays().SOChange(0);
    EXPECT_FALSE(output.holdsUnsavedArray(0)); // chosen and never touched since
    monitor->outputArrays().SOdataTestExecute();
    monitor->outputArrays().SOdataClearExecute();
    EXPECT_TRUE(run().arrayChanged[0]);
    EXPECT_FALSE(output.holdsUnsavedArray(0)); // changed, but to nothing worth keeping
    monitor->outputArrays().SOdataTestExecute();
    EXPECT_TRUE(output.holdsUnsavedArray(0));
    monitor->outputArrays().SOChange(2);
    monitor->outputArrays().SOdataTestExecute();
    EXPECT_EQ(output.replaceUnsavedQuestion(0b101),
              "Массивы выходных каналов 1, 3 изменены и не сохранены в файле. Заменить их?");
    EXPECT_EQ(output.replaceUnsavedQuestion(0b10), "");
    monitor->outputArrays().SOChange(0);

    generator().setRows({row(1, 0203, "ALT", "ramp 0 1000 10 repeat")});
    EXPECT_EQ(generator().channelsNamed(), std::bitset<kChannels>(1));
    ASSERT_EQ(generator().start(0), "");
    tickAt(1.0);
    EXPECT_TRUE(run().arrayChanged[0]);
    EXPECT_FALSE(output.holdsUnsavedArray(0)); // the generator's own words, however they moved
    generator().stop();
    monitor->bitEditor().FormShow();
    monitor->bitEditor().CheckBoxClick(1, true);
    monitor->bitEditor().Button1Click(); // the user edits what the generator left
    EXPECT_TRUE(output.holdsUnsavedArray(0));
    EXPECT_EQ(output.replaceUnsavedQuestion(0b1),
              "Массив выходного канала 1 изменен и не сохранен в файле. Заменить его?");
}

TEST_F(ParameterGeneratorTest, AChannelStoppedElsewhereLeavesTheGeneratorAndStopEndsTheRest)
{
    generator().setRows({row(1, 0203, "ALT", "ramp 0 1000 10 repeat"), row(2, 0203, "ALT", "ramp 0 1000 10 repeat")});
    ASSERT_EQ(generator().start(0), "");
    monitor->outputArrays().SOChange(0);
    monitor->output().SOstopChannelExecute(); // the user stops output 1
    bus.sent.clear();
    tickAt(1.0);
    EXPECT_EQ(updatesSent(), (std::vector<WordUpdate>{{2, 0, encoded(alt, 100, 0203)}}));
    EXPECT_EQ(generator().channels(), std::bitset<kChannels>(0b10));

    bus.sent.clear();
    generator().stop();
    ASSERT_EQ(codesSent(), std::vector<std::uint32_t>{ReqSOstopChannel});
    EXPECT_EQ(getU16(&bus.sent[0].in[0]), 2);
    EXPECT_FALSE(generator().running());
    EXPECT_TRUE(monitor->stimuli().output().freeFor(1, StimulusOwner::Replay));

    // A new initialisation stops every output: a generator started again then ends at the next tick.
    ASSERT_EQ(generator().start(0), "");
    monitor->lifecycle().DeviceInitializationExecute();
    bus.sent.clear();
    tickAt(3.0);
    EXPECT_TRUE(updatesSent().empty());
    EXPECT_FALSE(generator().running());
}

} // namespace
} // namespace telvar5

namespace telvar5 {
namespace {

// The demo's climb runs on the demo's own formats, every value within its field.
TEST_F(ParameterGeneratorTest, TheDemoClimbRunsOnTheDemoFormats)
{
    const std::filesystem::path demo = TELVAR5_DEMO_DIR;
    ASSERT_TRUE(loadFormatSettings(run().formats, demo / "TLV5frmt.stt"));
    const GeneratorFileContents climb = readGeneratorFile(demo / "climb.gen");
    ASSERT_EQ(climb.problem, "");
    ASSERT_TRUE(climb.badLines.empty());
    generator().setRows(climb.rows);
    ASSERT_EQ(generator().start(0), "");
    for (double t : {0.0, 30.0, 119.0, 121.0, 600.0}) {
        tickAt(t);
        for (const GeneratorRowState& state : generator().rowStates())
            EXPECT_EQ(state.fit, ValueFit::InRange) << "t " << t << " value " << state.value;
    }
    EXPECT_EQ(generator().rowStates()[0].value, 35000); // the altitude holds at cruise
}

} // namespace
} // namespace telvar5
