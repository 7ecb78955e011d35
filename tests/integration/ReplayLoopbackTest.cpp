// A capture recorded on input 1 and replayed on output 2 of the virtual
// module, whose loopback wires output 2 to input 2: input 2 receives the
// recorded words, each by the tick after its recorded time, and the module is
// asked nothing a refresh tick and a cyclic start do not already ask.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "core/analysis/CaptureFile.h"
#include "protocol/ByteLayout.h"
#include "support/VirtualModuleMonitor.h"

using namespace telvar5;

namespace {

constexpr std::int64_t kPeriodUs = 100'000;

class ReplayLoopback : public ::testing::Test, protected test::VirtualModuleMonitor {
protected:
    std::filesystem::path file = std::filesystem::temp_directory_path() / "replay-loopback-test.tlvcap";

    ReplayLoopback() : VirtualModuleMonitor(3'000'000) {}

    void SetUp() override
    {
        ASSERT_TRUE(chooseModule());
        monitor->setRefreshPeriod(static_cast<std::int32_t>(kPeriodUs / 1000));
        monitor->lifecycle().DeviceInitializationExecute();
        std::filesystem::remove(file);
    }
    void TearDown() override { std::filesystem::remove(file); }

    void tick()
    {
        clock->advanceUs(kPeriodUs);
        monitor->refresh().Timer1Timer();
    }

    // Output 1 sends labels 0..3 cyclically onto input 1 while "Запись" runs
    // for `ticks` ticks; before the ticks named in `changes`, one word changes.
    void recordOnInput1(int ticks, const std::map<int, std::pair<std::uint16_t, std::uint32_t>>& changes)
    {
        monitor->reception().SIChange(0);
        monitor->reception().SIaddressPuskExecute();
        monitor->outputArrays().SOChange(0);
        monitor->outputArrays().SOdataTestExecute(); // word k has label k
        monitor->outputArrays().cbSOArrayDimChange(3);
        monitor->output().SOciclePuskExecute();
        tick();
        prompts.fileToSave = file.string();
        monitor->capture().RecordExecute();
        ASSERT_TRUE(monitor->capture().recording());
        for (int t = 1; t <= ticks; ++t) {
            if (auto it = changes.find(t); it != changes.end()) {
                monitor->run().outputRecord[0].words[it->second.first] = it->second.second;
                monitor->output().updateWord(0, it->second.first);
            }
            tick();
        }
        monitor->capture().RecordExecute();
        ASSERT_FALSE(monitor->capture().recording());
        monitor->output().SOstopChannelExecute();
    }
};

// What input 1 recorded for one label: word by time from the first entry.
using LabelHistory = std::map<std::int64_t, std::uint32_t>;

std::uint32_t valueAt(const LabelHistory& history, std::int64_t offsetUs)
{
    auto it = history.upper_bound(offsetUs);
    return it == history.begin() ? 0 : std::prev(it)->second;
}

TEST_F(ReplayLoopback, Input2ReceivesTheRecordedWordsOfInput1WithinOneRefreshPeriod)
{
    recordOnInput1(12, {{3, {1, 0x8000'1201}}, {5, {2, 0x8000'5502}}, {6, {1, 0x8000'6601}}, {9, {0, 0x8000'9900}},
                        {10, {3, 0x8000'1003}}});
    if (HasFatalFailure())
        return;
    const CaptureFileContents capture = readCaptureFile(file);
    ASSERT_TRUE(capture.problem.empty()) << capture.problem;
    ASSERT_FALSE(capture.entries.empty());
    std::map<std::uint8_t, LabelHistory> recorded;
    const std::int64_t firstUs = capture.entries.front().timeUs;
    for (const CaptureEntry& e : capture.entries)
        if (e.channel == 1)
            recorded[static_cast<std::uint8_t>(e.word & 0xFF)][e.timeUs - firstUs] = e.word;
    ASSERT_EQ(recorded.size(), 4u);
    ASSERT_EQ(valueAt(recorded[1], 12 * kPeriodUs), 0x8000'6601u) << "the recording holds the changes";

    monitor->reception().SIChange(1);
    monitor->reception().SIaddressPuskExecute();
    bus->driver().requestLog(vdrv::kRequestLogCapacity, true);
    const std::int64_t startUs = clock->nowUs();
    ASSERT_EQ(monitor->stimuli().replay().start({file, 1, 2, 1.0, false}, startUs), "");
    const std::vector<std::uint8_t> labels = monitor->stimuli().replay().labels();
    ASSERT_EQ(labels, (std::vector<std::uint8_t>{0, 1, 2, 3}));

    const std::set<std::uint32_t> tickKinds = {ReqSOstate, ReqSIstate, ReqSIreadWord};
    std::vector<vdrv::LogEntry> log = bus->driver().requestLog(vdrv::kRequestLogCapacity, true);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].code, ReqSOciclePusk);
    EXPECT_EQ(getU16(&log[0].in[0]), 2);
    int updates = 0;
    for (int t = 1; t <= 16; ++t) {
        SCOPED_TRACE(t);
        tick();
        const std::int64_t reachedUs = clock->nowUs() - startUs;
        for (const vdrv::LogEntry& r : bus->driver().requestLog(vdrv::kRequestLogCapacity, true)) {
            if (r.code != ReqSOwordUpdate) {
                EXPECT_TRUE(tickKinds.count(r.code)) << "request " << std::hex << r.code;
                continue;
            }
            // A change goes out at the first tick at or after its recorded time.
            ++updates;
            EXPECT_EQ(getU16(&r.in[0]), 2);
            const std::uint8_t label = labels.at(getU16(&r.in[2]));
            EXPECT_EQ(getU32(&r.in[4]), valueAt(recorded[label], reachedUs));
            EXPECT_NE(getU32(&r.in[4]), valueAt(recorded[label], reachedUs - kPeriodUs));
        }
        // Input 2 reads at the start of a tick what output 2 sent since the last one.
        for (std::uint8_t label : labels)
            EXPECT_EQ(monitor->run().inputBuffer[1][label].word, valueAt(recorded[label], reachedUs - kPeriodUs))
                << "label " << int(label);
    }
    EXPECT_EQ(updates, 5);
    EXPECT_TRUE(monitor->stimuli().replay().progress().finished);
    EXPECT_EQ(monitor->stimuli().replay().progress().wordsSent, 5u);
}

} // namespace
