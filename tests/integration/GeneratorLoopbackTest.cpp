// The parameter generator on the virtual driver: a ramp sent on output 1
// comes back on input 1, through the loopback, as the ramp's values.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "formats/ArincWord.h"
#include "formats/DecimalText.h"
#include "support/VirtualModuleMonitor.h"

using namespace telvar5;

namespace {

constexpr std::int64_t kPeriodUs = 100'000;

TEST(GeneratorLoopback, ARampArrivesAsItsValuesWithinOneStepAndOnePeriod)
{
    test::VirtualModuleMonitor rig(1'000'000);
    ASSERT_TRUE(rig.chooseModule());
    Monitor& monitor = *rig.monitor;
    vdrv::ManualClock& clock = *rig.clock;
    vdrv::VirtualDriver& driver = rig.bus->driver();
    monitor.run().freqCodes.fill(2);
    monitor.lifecycle().DeviceInitializationExecute();
    monitor.setRefreshPeriod(kPeriodUs / 1000);

    // Altitude: 17 bits and the sign, 0.5 ft a step.
    DecimalFormat alt;
    alt.setTag("ALT");
    alt.setMsbBit(28);
    alt.setLsbBit(11);
    alt.setMsbWeight(65536.0f);
    alt.setUnits("ft");
    monitor.run().formats.formatTable[0] = alt;
    monitor.run().formats.formatCount = 1;
    const double step = 0.5;
    auto ramp = [](double t) { return -5000.0 + 45000.0 * t / 60.0; }; // -5000 to 40000 ft in a minute

    monitor.reception().SIChange(0);
    monitor.reception().SIaddressPuskExecute();
    ParameterGenerator& generator = monitor.stimuli().generator();
    generator.setRows({{1, 0203, "ALT", 3, *parseWaveform("ramp -5000 40000 60 repeat")},
                       {1, 0206, "ALT", 3, *parseWaveform("const 250")}});
    const std::int64_t startUs = clock.nowUs();
    ASSERT_EQ(generator.start(startUs), "");
    driver.requestLog(vdrv::kRequestLogCapacity, true);

    std::set<std::uint32_t> codes;
    int checked = 0;
    for (int tick = 1; tick <= 200; ++tick) {
        clock.advanceUs(kPeriodUs);
        monitor.refresh().Timer1Timer();
        for (const auto& entry : driver.requestLog(vdrv::kRequestLogCapacity, true))
            codes.insert(entry.code);
        const double now = static_cast<double>(clock.nowUs() - startUs) / 1e6;
        for (const InputCell& cell : monitor.run().inputBuffer[0]) {
            if (cell.cycleNo != monitor.run().refreshCounter || wordLabel(cell.word) != 0203)
                continue;
            const DecimalValue v = decimalValue(cell.word, alt);
            const double value = v.sign == '-' ? -v.magnitude : v.magnitude;
            SCOPED_TRACE(testing::Message() << "t " << now << " value " << value);
            // What arrives is the ramp at some moment of the last refresh period, to one step.
            EXPECT_GE(value, ramp(now - kPeriodUs / 1e6) - step);
            EXPECT_LE(value, ramp(now) + step);
            EXPECT_EQ(wordSsm(cell.word), 3u);
            ++checked;
        }
    }
    EXPECT_GE(checked, 190);
    // The ticks asked for states and words, and the generator sent word updates: nothing else.
    EXPECT_EQ(codes, (std::set<std::uint32_t>{ReqSOstate, ReqSIstate, ReqSIreadWord, ReqSOwordUpdate}));
}

// Labels at their own intervals come back through the loopback at them: the
// statistics of the receiving channel, read every word time, give each label
// a shortest and longest interval within one word time of what the start achieved.
TEST(GeneratorLoopback, LabelsAtTheirOwnIntervalsArriveAtThem)
{
    constexpr std::int64_t kWordUs = 360; // 100 kHz
    test::VirtualModuleMonitor rig(1'000'000);
    ASSERT_TRUE(rig.chooseModule());
    Monitor& monitor = *rig.monitor;
    monitor.run().freqCodes.fill(2);
    monitor.lifecycle().DeviceInitializationExecute();
    DecimalFormat alt;
    alt.setTag("ALT");
    alt.setMsbBit(28);
    alt.setLsbBit(11);
    alt.setMsbWeight(65536.0f);
    monitor.run().formats.formatTable[0] = alt;
    monitor.run().formats.formatCount = 1;

    monitor.reception().SIChange(0);
    monitor.reception().SIaddressPuskExecute();
    ParameterGenerator& generator = monitor.stimuli().generator();
    const std::vector<std::pair<std::uint8_t, double>> asked = {{0203, 5.0}, {0206, 12.5}, {0210, 25.0}, {0211, 0.0}};
    std::vector<GeneratorRow> rows;
    for (const auto& [label, interval] : asked)
        rows.push_back({1, label, "ALT", 3, *parseWaveform("const 100"), interval});
    generator.setRows(rows);
    ASSERT_EQ(generator.start(rig.clock->nowUs()), "");

    for (int tick = 0; tick < 2000; ++tick) { // 0.72 s, several passes of the longest array
        rig.clock->advanceUs(kWordUs);
        monitor.refresh().Timer1Timer();
    }
    const LabelStatistics& statistics = monitor.analysis().statistics();
    for (std::size_t r = 0; r < asked.size(); ++r) {
        SCOPED_TRACE(r);
        const double achievedUs = generator.rowStates()[r].intervalMs * 1000.0;
        if (asked[r].second > 0) {
            EXPECT_NEAR(achievedUs, asked[r].second * 1000.0, 0.1 * asked[r].second * 1000.0);
        }
        const LabelStatistics::Figures f = statistics.figures(0, asked[r].first, rig.clock->nowUs());
        ASSERT_GT(f.count, 2u);
        EXPECT_NEAR(static_cast<double>(f.minIntervalUs), achievedUs, kWordUs);
        EXPECT_NEAR(static_cast<double>(f.maxIntervalUs), achievedUs, kWordUs);
    }
}

} // namespace
