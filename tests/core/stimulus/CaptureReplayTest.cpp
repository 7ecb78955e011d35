// The replay of a capture on a module: what it lays out, which word goes out
// at which tick, laps, damaged files, refusals and the end of a replay.
#include "input/InputFixture.h"

#include <cmath>
#include <functional>
#include <limits>

#include "core/analysis/CaptureFile.h"
#include "formats/FormatTestSupport.h"
#include "protocol/ByteLayout.h"

namespace telvar5 {
namespace {

using WordUpdate = test::SentWordUpdate;

constexpr std::int64_t kRecordedZeroUs = 7'000'000; // the channel's first entry, as a recording holds it
constexpr std::int64_t kStartUs = 1'000'000;        // monotonic time of the replay's start

// An entry `ms` after the first, on an input channel, carrying `value` in bits 9..32 of label `label`.
CaptureEntry at(std::int64_t ms, std::uint8_t channel, std::uint8_t label, std::uint32_t value)
{
    return {kRecordedZeroUs + ms * 1000, 0, label | value << 8, channel, label};
}

std::uint32_t word(std::uint8_t label, std::uint32_t value) { return label | value << 8; }

struct TickStep {
    std::int64_t ms; // after the start
    std::vector<WordUpdate> updates;
};

class CaptureReplayTest : public test::InitialisedMonitor {
protected:
    test::ScratchDir dir;
    std::filesystem::path file = dir / "capture.tlvcap";

    CaptureReplay& replay() { return monitor->stimuli().replay(); }

    // A capture of the entries; the last `cutBytes` bytes are left off.
    void writeCapture(const std::vector<CaptureEntry>& entries, std::int32_t refreshPeriodMs = 100,
                      std::size_t cutBytes = 0)
    {
        CaptureHeader header;
        header.refreshPeriodMs = refreshPeriodMs;
        const CaptureHeaderBytes h = encodeCaptureHeader(header);
        std::vector<std::uint8_t> bytes(h.begin(), h.end());
        for (const CaptureEntry& e : entries) {
            const CaptureEntryBytes b = encodeCaptureEntry(e);
            bytes.insert(bytes.end(), b.begin(), b.end());
        }
        bytes.resize(bytes.size() - cutBytes);
        test::writeBytes(file, bytes);
    }
    std::string start(int from, int to, double speed = 1.0, bool loop = false)
    {
        return replay().start({file, from, to, speed, loop}, kStartUs);
    }
    // The replay's tick `ms` after its start.
    std::bitset<kChannels> tickAt(std::int64_t ms) { return replay().tick(kStartUs + ms * 1000); }

    // Ticks at the steps' times: each sends exactly the step's word updates, and nothing else.
    void expectSteps(const std::vector<TickStep>& steps)
    {
        const auto ch = static_cast<std::size_t>(replay().settings().toChannel - 1);
        for (const TickStep& step : steps) {
            SCOPED_TRACE(step.ms);
            bus.sent.clear();
            const std::bitset<kChannels> changed = tickAt(step.ms);
            EXPECT_EQ(updatesSent(), step.updates);
            EXPECT_EQ(bus.sent.size(), step.updates.size()) << "nothing but word updates";
            EXPECT_EQ(changed, step.updates.empty() ? std::bitset<kChannels>() : std::bitset<kChannels>().set(ch));
        }
    }
    std::vector<std::uint32_t> codesSent() const { return bus.codes(); }
    std::vector<WordUpdate> updatesSent() const { return bus.wordUpdates(); }
    // The cyclic start's channel number and array.
    std::pair<std::uint16_t, std::vector<std::uint32_t>> cyclicStart() const
    {
        const test::SentRequest* r = bus.last(ReqSOciclePusk);
        if (!r)
            return {};
        std::vector<std::uint32_t> words(getU16(&r->in[2]));
        for (std::size_t i = 0; i < words.size(); ++i)
            words[i] = getU32(&r->in[8 + 4 * i]);
        return {getU16(&r->in[0]), words};
    }
};

// Channel 1: labels 1 and 2 at 0 ms, label 1 at 100 ms, label 0 first at 150 ms,
// label 2 at 200 ms, label 1 twice at 300 ms; channel 2 carries label 3 in between.
std::vector<CaptureEntry> twoLabels()
{
    return {at(0, 2, 3, 0xC0), at(0, 1, 1, 0xA0), at(0, 1, 2, 0xB0), at(100, 1, 1, 0xA1), at(150, 2, 3, 0xC1),
            at(150, 1, 0, 0xD0), at(200, 1, 2, 0xB1), at(300, 1, 1, 0xA2), at(300, 1, 1, 0xA3)};
}

struct TimingCase {
    const char* name;
    double speed;
    std::vector<TickStep> steps;
};

TEST_F(CaptureReplayTest, EachValueGoesOutAtTheFirstTickItIsDueTheLastOfATickWinning)
{
    const std::vector<TimingCase> cases = {
        {"speed 1", 1.0,
         {{99, {}}, {100, {{3, 0, word(1, 0xA1)}}}, {199, {}}, {250, {{3, 1, word(2, 0xB1)}}}, {299, {}},
          {300, {{3, 0, word(1, 0xA3)}}}, {900, {}}}},
        {"speed 2", 2.0,
         {{49, {}}, {50, {{3, 0, word(1, 0xA1)}}}, {100, {{3, 1, word(2, 0xB1)}}}, {149, {}}, {150, {{3, 0, word(1, 0xA3)}}}}},
        {"speed 0.5, everything due in one late tick", 0.5, {{199, {}}, {600, {{3, 0, word(1, 0xA3)}, {3, 1, word(2, 0xB1)}}}}},
    };
    writeCapture(twoLabels());
    monitor->outputArrays().SOChange(5); // the user looks at output 6
    for (const TimingCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(start(1, 3, c.speed), "");
        // Input 1's labels in the order they first came, each with its first value.
        EXPECT_EQ(replay().labels(), (std::vector<std::uint8_t>{1, 2, 0}));
        EXPECT_EQ(cyclicStart(), std::make_pair(std::uint16_t{3}, std::vector{word(1, 0xA0), word(2, 0xB0), word(0, 0xD0)}));
        EXPECT_EQ(codesSent(), std::vector<std::uint32_t>{ReqSOciclePusk});
        EXPECT_EQ(monitor->run().curOutputIndex, 5) << "the shown channel stays shown";
        expectSteps(c.steps);
        std::uint64_t updates = 0;
        for (const TickStep& step : c.steps)
            updates += step.updates.size();
        const ReplayProgress& p = replay().progress();
        EXPECT_EQ(p.entriesApplied, 7u) << "channel 1's entries only";
        EXPECT_EQ(p.wordsSent, updates);
        EXPECT_EQ(p.lengthUs, 300'000);
        EXPECT_EQ(p.positionUs, 300'000);
        EXPECT_TRUE(p.finished);
        EXPECT_TRUE(replay().running()) << "a finished replay keeps its channel transmitting";
        EXPECT_EQ(monitor->run().outputMode[2], kOutputCyclic);
        bus.sent.clear();
        replay().stop();
        EXPECT_EQ(codesSent(), std::vector<std::uint32_t>{ReqSOstopChannel});
        EXPECT_FALSE(replay().running());
        EXPECT_TRUE(monitor->stimuli().output().freeFor(2, StimulusOwner::Generator));
        bus.sent.clear();
    }
}

struct LapCase {
    const char* name;
    std::int32_t refreshPeriodMs; // of the capture: the pause between laps
    double speed;
    bool loop;
    std::vector<TickStep> steps;
    std::uint32_t laps;
    std::uint64_t entriesApplied;
    bool finished;
};

TEST_F(CaptureReplayTest, ALoopStartsEachLapOneCaptureRefreshPeriodAfterTheLastEntry)
{
    // One label: 0x100 at 0 ms, 0x200 at 200 ms.
    const WordUpdate first{1, 0, word(1, 0x100)}, last{1, 0, word(1, 0x200)};
    const std::vector<LapCase> cases = {
        {"once", 100, 1.0, false, {{200, {last}}, {300, {}}, {1000, {}}}, 0, 2, true},
        {"loop: laps of 300 ms", 100, 1.0, true,
         {{200, {last}}, {299, {}}, {300, {first}}, {499, {}}, {500, {last}}, {600, {first}}, {650, {}}}, 2, 5, false},
        {"loop, no period in the header: 1 ms between laps", 0, 1.0, true, {{200, {last}}, {200, {}}, {201, {first}}}, 1, 3, false},
        {"loop, a negative period: 1 ms", -5, 1.0, true, {{200, {last}}, {201, {first}}}, 1, 3, false},
        {"loop, a garbage period: at most the longest refresh period", 0x7FFFFFFF, 1.0, true,
         {{200, {last}}, {10199, {}}, {10200, {first}}}, 1, 3, false},
        {"loop at speed 100: laps wholly past in one tick are counted, not played", 100, 100.0, true,
         {{1000, {}}, {1001, {last}}}, 334, 668, false},
    };
    for (const LapCase& c : cases) {
        SCOPED_TRACE(c.name);
        writeCapture({at(0, 4, 1, 0x100), at(200, 4, 1, 0x200)}, c.refreshPeriodMs);
        ASSERT_EQ(start(4, 1, c.speed, c.loop), "");
        expectSteps(c.steps);
        EXPECT_EQ(replay().progress().lap, c.laps);
        EXPECT_EQ(replay().progress().entriesApplied, c.entriesApplied);
        EXPECT_EQ(replay().progress().finished, c.finished);
        replay().stop();
    }
}

TEST_F(CaptureReplayTest, ADamagedFilePlaysWhatItHolds)
{
    struct Case {
        const char* name;
        std::vector<CaptureEntry> entries;
        std::size_t cutBytes;
        std::vector<TickStep> steps;
        std::int64_t lengthUs;
    };
    const std::int64_t farBack = std::numeric_limits<std::int64_t>::min() + 5;
    const std::vector<Case> cases = {
        {"the last entry cut short", {at(0, 1, 1, 1), at(100, 1, 1, 2), at(200, 1, 1, 3)}, 7,
         {{100, {{1, 0, word(1, 2)}}}, {1000, {}}}, 100'000},
        {"a time going back is due at once",
         {at(0, 1, 1, 1), at(0, 1, 2, 1), at(300, 1, 1, 2), at(100, 1, 2, 2), at(400, 1, 1, 3)}, 0,
         {{299, {}}, {300, {{1, 0, word(1, 2)}, {1, 1, word(2, 2)}}}, {400, {{1, 0, word(1, 3)}}}}, 400'000},
        {"a time as far back as a time can be", {at(0, 1, 1, 1), {farBack, 0, word(1, 2), 1, 1}, at(100, 1, 1, 3)}, 0,
         {{1, {{1, 0, word(1, 2)}}}, {100, {{1, 0, word(1, 3)}}}}, 100'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeCapture(c.entries, 100, c.cutBytes);
        ASSERT_EQ(start(1, 1, 1.0, false), "");
        expectSteps(c.steps);
        EXPECT_TRUE(replay().progress().finished);
        EXPECT_EQ(replay().progress().lengthUs, c.lengthUs);
        replay().stop();
    }
}

TEST_F(CaptureReplayTest, AForwardJumpBeyondTheLongestGapIsCutToOneCapturePeriod)
{
    constexpr std::int64_t kMinuteMs = 60'000;
    // Label 1 at 0 and 100 ms, then 20 minutes later twice 200 ms apart.
    const std::vector<CaptureEntry> entries = {at(0, 1, 1, 1), at(100, 1, 1, 2), at(100 + 20 * kMinuteMs, 1, 1, 3),
                                               at(300 + 20 * kMinuteMs, 1, 1, 4)};
    const WordUpdate second{1, 0, word(1, 2)}, third{1, 0, word(1, 3)}, fourth{1, 0, word(1, 4)};
    struct Case {
        const char* name;
        std::int64_t longestGapUs;
        bool loop;
        std::vector<TickStep> steps;
        std::int64_t lengthUs;
        std::uint64_t gapsCut;
    };
    const std::vector<Case> cases = {
        {"10 minutes: the jump plays as the capture's period", 10 * kMinuteMs * 1000, false,
         {{100, {second}}, {199, {}}, {200, {third}}, {399, {}}, {400, {fourth}}}, 400'000, 1},
        {"in every lap", 10 * kMinuteMs * 1000, true,
         {{400, {fourth}}, {499, {}}, {500, {{1, 0, word(1, 1)}}}, {600, {second}}, {699, {}}, {700, {third}}},
         400'000, 1},
        {"a jump of the limit itself is kept", 20 * kMinuteMs * 1000, false,
         {{100, {second}}, {100 + 20 * kMinuteMs - 1, {}}, {100 + 20 * kMinuteMs, {third}}}, 300'000 + 20 * kMinuteMs * 1000,
         0},
        {"no limit: every jump is kept", 0, false, {{200, {second}}, {100 + 20 * kMinuteMs, {third}}},
         300'000 + 20 * kMinuteMs * 1000, 0},
    };
    writeCapture(entries);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReplaySettings settings{file, 1, 1, 1.0, c.loop, c.longestGapUs};
        ASSERT_EQ(replay().start(settings, kStartUs), "");
        EXPECT_EQ(replay().progress().lengthUs, c.lengthUs);
        EXPECT_EQ(replay().progress().gapsCut, c.gapsCut);
        EXPECT_EQ(replay().progress().cutUs, c.gapsCut * (20 * kMinuteMs * 1000 - 100'000));
        expectSteps(c.steps);
        replay().stop();
    }
}

TEST_F(CaptureReplayTest, RefusesWhatItCannotPlayAndSendsNothing)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        ReplaySettings settings;
        std::string reason;
    };
    const std::filesystem::path missing = dir / "missing.tlvcap";
    const std::filesystem::path foreign = dir / "foreign.tlvcap";
    test::writeBytes(foreign, {'n', 'o', 't', ' ', 'a', ' ', 'c', 'a', 'p', 't', 'u', 'r', 'e'});
    writeCapture(twoLabels());
    const std::string badSpeed = "Скорость воспроизведения должна быть от 0,01 до 100.";
    const std::uint32_t held = 1;
    const std::vector<Case> cases = {
        {"no such file", {}, {missing, 1, 1, 1.0, false}, "Не удалось открыть файл записи."},
        {"not a capture", {}, {foreign, 1, 1, 1.0, false}, "Это не файл записи слов ARINC 429: в начале нет метки TLV5CAP."},
        {"no entries of the channel", {}, {file, 3, 1, 1.0, false}, "В записи нет слов входного канала 3."},
        {"input channel 0", {}, {file, 0, 1, 1.0, false}, "Входной канал записи должен быть от 1 до 8."},
        {"output 5 of a module with 4", [&] { run().soChannelCount = 4; }, {file, 1, 5, 1.0, false},
         "У модуля нет выходного канала 5."},
        {"output 9", {}, {file, 1, 9, 1.0, false}, "У модуля нет выходного канала 9."},
        {"no module chosen", [&] { run().deviceChosen = false; }, {file, 1, 1, 1.0, false}, "Модуль не выбран."},
        {"too slow", {}, {file, 1, 1, 0.009, false}, badSpeed},
        {"too fast", {}, {file, 1, 1, 100.5, false}, badSpeed},
        {"speed not a number", {}, {file, 1, 1, std::nan(""), false}, badSpeed},
        {"infinite speed", {}, {file, 1, 1, std::numeric_limits<double>::infinity(), false}, badSpeed},
        {"channel held by the generator",
         [&] {
             monitor->stimuli().output().startCyclic(1, std::span(&held, 1), StimulusOwner::Generator);
             bus.sent.clear();
         },
         {file, 1, 2, 1.0, false}, "Выходной канал 2 занят генератором параметров."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp(); // a fresh monitor for each case
        if (c.arrange)
            c.arrange();
        EXPECT_EQ(replay().start(c.settings, kStartUs), c.reason);
        EXPECT_FALSE(replay().running());
        EXPECT_TRUE(bus.sent.empty());
        tickAt(1000);
        EXPECT_TRUE(bus.sent.empty());
    }
    // The speed's limits themselves are taken.
    SetUp();
    for (double speed : {0.01, 100.0}) {
        ASSERT_EQ(start(1, 1, speed), "");
        replay().stop();
    }
    ASSERT_EQ(start(1, 1), "");
    bus.sent.clear();
    EXPECT_EQ(start(2, 2), "Воспроизведение уже идет: сначала остановите его.");
    EXPECT_TRUE(bus.sent.empty());
}

TEST_F(CaptureReplayTest, AChannelStoppedByOtherMeansEndsTheReplayAndIsFreed)
{
    struct Case {
        const char* name;
        std::function<void()> stopOutput;
    };
    const std::vector<Case> cases = {
        {"the user's stop on output 2",
         [&] {
             monitor->outputArrays().SOChange(1);
             monitor->output().SOstopChannelExecute();
         }},
        {"an initialisation", [&] { monitor->lifecycle().DeviceInitializationExecute(); }},
        {"the module chosen again", [&] { choose(); }},
    };
    writeCapture(twoLabels());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(start(1, 2), "");
        c.stopOutput();
        bus.sent.clear();
        EXPECT_EQ(tickAt(500), std::bitset<kChannels>());
        EXPECT_TRUE(bus.sent.empty()) << "no word goes to a channel that no longer transmits";
        EXPECT_FALSE(replay().running());
        EXPECT_TRUE(monitor->stimuli().output().freeFor(1, StimulusOwner::Generator));
        replay().stop();
        EXPECT_TRUE(bus.sent.empty()) << "nothing left to stop";
    }
}

TEST_F(CaptureReplayTest, ChannelsInNamesTheInputsACaptureCarries)
{
    struct Case {
        const char* name;
        std::vector<CaptureEntry> entries;
        std::bitset<kChannels> channels;
        std::string problem;
        std::size_t cutBytes = 0;
    };
    const std::vector<Case> cases = {
        {"inputs 1, 3 and 8", {at(0, 3, 1, 1), at(0, 1, 1, 1), at(100, 8, 2, 2), at(100, 3, 1, 1)}, 0b1000'0101, ""},
        {"channel numbers out of range are no channels", {at(0, 0, 1, 1), at(0, 9, 1, 1), at(0, 2, 1, 1)}, 0b10, ""},
        {"an empty recording", {}, 0, "В файле записи нет ни одного слова входных каналов 1..8."},
        {"cut inside its last entry", {at(0, 4, 1, 1), at(100, 5, 1, 1)}, 0b1000,
         "Файл записи обрывается: прочитано 1 целых записей, от следующей есть только 19 байт из 20.", 1},
        {"cut inside its only entry: the damage is what there is to say", {at(0, 4, 1, 1)}, 0,
         "Файл записи обрывается: прочитано 0 целых записей, от следующей есть только 19 байт из 20.", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeCapture(c.entries, 100, c.cutBytes);
        std::string problem = "stale";
        EXPECT_EQ(CaptureReplay::channelsIn(file, problem), c.channels);
        EXPECT_EQ(problem, c.problem);
    }
    std::string problem;
    EXPECT_TRUE(CaptureReplay::channelsIn(dir / "missing.tlvcap", problem).none());
    EXPECT_EQ(problem, "Не удалось открыть файл записи.");
}

} // namespace
} // namespace telvar5
